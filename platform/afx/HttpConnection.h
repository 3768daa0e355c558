// CHttpConnection: a WinInet connection handle to one HTTP server, owned by
// the object. Requests it opens belong to the caller and must be deleted
// before it is.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "afx/String.h"

class CHttpFile;
class CInternetSession;

class CHttpConnection {
public:
    enum {
        HTTP_VERB_MIN = 0,
        HTTP_VERB_POST = 0,
        HTTP_VERB_GET = 1,
        HTTP_VERB_HEAD = 2,
        HTTP_VERB_PUT = 3,
        HTTP_VERB_LINK = 4,
        HTTP_VERB_DELETE = 5,
        HTTP_VERB_UNLINK = 6,
        HTTP_VERB_MAX = 6,
    };

    // Made by CInternetSession::GetHttpConnection, which hands over `handle`.
    CHttpConnection(CInternetSession* session, HINTERNET handle, LPCWSTR server, INTERNET_PORT port,
                    DWORD_PTR context);
    virtual ~CHttpConnection();
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    // A request object for `object` (the path on the server); nothing is sent
    // yet. A null version means HTTP/1.0. Throws CInternetException*.
    CHttpFile* OpenRequest(LPCWSTR verb, LPCWSTR object, LPCWSTR referer = nullptr,
                           DWORD_PTR context = 1, LPCWSTR* acceptTypes = nullptr,
                           LPCWSTR version = nullptr, DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
    CHttpFile* OpenRequest(int verb, LPCWSTR object, LPCWSTR referer = nullptr,
                           DWORD_PTR context = 1, LPCWSTR* acceptTypes = nullptr,
                           LPCWSTR version = nullptr, DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);

    virtual void Close();
    operator HINTERNET() const { return m_hConnection; }
    CInternetSession* GetSession() const { return m_session; }
    const CString& GetServerName() const { return m_server; }
    INTERNET_PORT GetServerPort() const { return m_port; }

private:
    CInternetSession* m_session;
    HINTERNET m_hConnection;
    CString m_server;
    INTERNET_PORT m_port;
    DWORD_PTR m_dwContext;
};
