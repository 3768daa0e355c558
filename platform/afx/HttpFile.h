// CHttpFile: one HTTP request and its response, over a WinInet request
// handle the object owns. Sending and reading throw CInternetException*;
// the header calls report failure by their result.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "afx/String.h"

class CHttpConnection;

class CHttpFile {
public:
    // Made by CHttpConnection::OpenRequest, which hands over `handle`.
    CHttpFile(HINTERNET handle, LPCWSTR verb, LPCWSTR object, CHttpConnection* connection,
              DWORD_PTR context);
    virtual ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    // Header lines ended by CR LF; `length` -1 means up to the terminator.
    BOOL AddRequestHeaders(LPCWSTR headers, DWORD flags = HTTP_ADDREQ_FLAG_ADD_IF_NEW,
                           int length = -1);
    BOOL SendRequest(LPCWSTR headers = nullptr, DWORD headersLength = 0, LPVOID optional = nullptr,
                     DWORD optionalLength = 0);

    BOOL QueryInfoStatusCode(DWORD& statusCode) const;
    // One HTTP_QUERY_* item of the response as text, of any length.
    BOOL QueryInfo(DWORD infoLevel, CString& text, LPDWORD index = nullptr) const;

    // Bytes read into `buffer`, at most `count`; 0 at the end of the data.
    UINT Read(void* buffer, UINT count);

    virtual void Close();
    operator HINTERNET() const { return m_hFile; }
    const CString& GetVerb() const { return m_verb; }
    const CString& GetObject() const { return m_object; }
    CHttpConnection* GetConnection() const { return m_connection; }

private:
    HINTERNET m_hFile;
    CString m_verb;
    CString m_object;
    CHttpConnection* m_connection;
    DWORD_PTR m_dwContext;
};
