#include "services/WriteAt.h"

int WriteAt(LPCWSTR fileName, const void* bytes, UINT count, LONGLONG offset) {
    CFileException error;
    CFile file;
    if (!file.Open(fileName, CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate,
                   &error)) {
        return error.m_cause;
    }
    const LONGLONG reached = static_cast<LONGLONG>(file.Seek(offset, FILE_BEGIN));
    if (reached != offset) return CFileException::badSeek;
    if (!file.Write(bytes, count)) {
        return CFileException::OsErrorToException(static_cast<LONG>(GetLastError()));
    }
    file.Close();
    return CFileException::none;
}
