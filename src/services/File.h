// File: one-line text files in the client's log folder. Failures are told
// to the user in a message box; nothing is thrown and callers need not check.
#pragma once

#include "afx/Afx.h"

class File {
public:
    virtual ~File() = default;

    // Writes directory + name (joined as given) as the single line `text`,
    // creating the directory (one level) when needed. Returns an empty string.
    CString WriteLine(const CString& directory, const CString& name, const CString& text);
    // The file's first line without its line end; empty when the file cannot
    // be opened or holds nothing.
    CString ReadFirstLine(const CString& path);

private:
    bool EnsureDirectory(const CString& directory);
};
