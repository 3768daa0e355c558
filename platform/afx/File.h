// CFile: a binary file over one Win32 file handle, which the object owns and
// closes. Failures are reported by return values and an optional
// CFileException record; nothing is thrown.
#pragma once

#include <windows.h>

#include "afx/FileException.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // modeCreate empties an existing file unless modeNoTruncate is given.
    virtual BOOL Open(LPCWSTR fileName, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // Byte counts actually moved; 0 on failure or at the end of the file.
    UINT Read(void* buffer, UINT count);
    BOOL Write(const void* buffer, UINT count);
    ULONGLONG Seek(LONGLONG offset, DWORD from);
    ULONGLONG SeekToEnd() { return Seek(0, FILE_END); }
    ULONGLONG GetLength() const;

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;
};
