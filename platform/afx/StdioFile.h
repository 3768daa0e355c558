// CStdioFile: a text file. Text is UTF-16 in the program and the ANSI code
// page on disk, and each "\n" is CR LF on disk, as text-mode files of the C
// runtime keep them.
#pragma once

#include "afx/File.h"

#include <string>

class CStdioFile : public CFile {
public:
    CStdioFile() = default;

    // Writes the text converted to the ANSI code page, "\n" as CR LF.
    BOOL WriteString(LPCWSTR text);
    // The next line without its line end; FALSE when the file has no more.
    BOOL ReadString(CString& line);

private:
    // Leaves the file just past the next line end, or at the end of the file.
    BOOL ReadRawLine(std::string& bytes);
};
