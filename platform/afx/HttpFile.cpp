#include "afx/HttpFile.h"

#include "afx/InternetException.h"

#include <vector>

CHttpFile::CHttpFile(HINTERNET handle, LPCWSTR verb, LPCWSTR object, CHttpConnection* connection,
                     DWORD_PTR context)
    : m_hFile(handle),
      m_verb(verb),
      m_object(object),
      m_connection(connection),
      m_dwContext(context) {}

CHttpFile::~CHttpFile() { Close(); }

void CHttpFile::Close() {
    if (m_hFile) {
        InternetCloseHandle(m_hFile);
        m_hFile = nullptr;
    }
}

BOOL CHttpFile::AddRequestHeaders(LPCWSTR headers, DWORD flags, int length) {
    if (!m_hFile || !headers) return FALSE;
    return HttpAddRequestHeadersW(m_hFile, headers, static_cast<DWORD>(length), flags);
}

BOOL CHttpFile::SendRequest(LPCWSTR headers, DWORD headersLength, LPVOID optional,
                            DWORD optionalLength) {
    if (!m_hFile) AfxThrowInternetException(m_dwContext, ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    if (!HttpSendRequestW(m_hFile, headers, headersLength, optional, optionalLength)) {
        AfxThrowInternetException(m_dwContext);
    }
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& statusCode) const {
    statusCode = 0;
    if (!m_hFile) return FALSE;
    DWORD size = sizeof(statusCode);
    return HttpQueryInfoW(m_hFile, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &statusCode,
                          &size, nullptr);
}

BOOL CHttpFile::QueryInfo(DWORD infoLevel, CString& text, LPDWORD index) const {
    text.Empty();
    if (!m_hFile) return FALSE;
    const DWORD startIndex = index ? *index : 0;
    // A buffer too small is answered with the size needed, in bytes.
    std::vector<wchar_t> buffer(256);
    for (int tries = 0; tries < 4; ++tries) {
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        DWORD at = startIndex;
        if (HttpQueryInfoW(m_hFile, infoLevel, buffer.data(), &size, index ? &at : nullptr)) {
            text = CString(buffer.data(), static_cast<int>(size / sizeof(wchar_t)));
            if (index) *index = at;
            return TRUE;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return FALSE;
        buffer.resize(size / sizeof(wchar_t) + 1);
    }
    return FALSE;
}

UINT CHttpFile::Read(void* buffer, UINT count) {
    if (!m_hFile) AfxThrowInternetException(m_dwContext, ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    DWORD read = 0;
    if (!InternetReadFile(m_hFile, buffer, count, &read)) AfxThrowInternetException(m_dwContext);
    return read;
}
