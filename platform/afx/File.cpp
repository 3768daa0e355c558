#include "afx/File.h"

namespace {
constexpr UINT kAccessMask = 0x0003;
constexpr UINT kShareMask = 0x0070;

DWORD DesiredAccess(UINT flags) {
    switch (flags & kAccessMask) {
        case CFile::modeWrite:
            return GENERIC_WRITE;
        case CFile::modeReadWrite:
            return GENERIC_READ | GENERIC_WRITE;
        default:
            return GENERIC_READ;
    }
}

DWORD ShareMode(UINT flags) {
    switch (flags & kShareMask) {
        case CFile::shareExclusive:
            return 0;
        case CFile::shareDenyWrite:
            return FILE_SHARE_READ;
        case CFile::shareDenyRead:
            return FILE_SHARE_WRITE;
        default:
            return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

DWORD Disposition(UINT flags) {
    if (!(flags & CFile::modeCreate)) return OPEN_EXISTING;
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}
}  // namespace

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCWSTR fileName, UINT openFlags, CFileException* error) {
    Close();
    m_strFileName = fileName;
    m_hFile = CreateFileW(fileName, DesiredAccess(openFlags), ShareMode(openFlags), nullptr,
                          Disposition(openFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (IsOpen()) return TRUE;
    if (error) {
        LONG osError = static_cast<LONG>(GetLastError());
        *error = CFileException(CFileException::OsErrorToException(osError), osError, fileName);
    }
    return FALSE;
}

void CFile::Close() {
    if (IsOpen()) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

UINT CFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!IsOpen() || !ReadFile(m_hFile, buffer, count, &read, nullptr)) return 0;
    return read;
}

BOOL CFile::Write(const void* buffer, UINT count) {
    DWORD written = 0;
    if (!IsOpen() || !WriteFile(m_hFile, buffer, count, &written, nullptr)) return FALSE;
    return written == count;
}

ULONGLONG CFile::Seek(LONGLONG offset, DWORD from) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    position.QuadPart = 0;
    if (!IsOpen() || !SetFilePointerEx(m_hFile, distance, &position, from)) return 0;
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(m_hFile, &size)) return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}
