// CInternetSession: one WinInet session handle, which the object owns. The
// connections it hands out belong to the caller and must be deleted before
// the session is closed.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "afx/String.h"

class CHttpConnection;

class CInternetSession {
public:
    // A null agent sends the application's title (string 57344 when the
    // application object has none) as the User-Agent. A session that cannot
    // be opened fails at its first use, not here.
    explicit CInternetSession(LPCWSTR agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              LPCWSTR proxyName = nullptr, LPCWSTR proxyBypass = nullptr,
                              DWORD flags = 0);
    virtual ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // A connection object for an HTTP server; throws CInternetException*.
    // WinInet connects lazily, so an unreachable server shows only when a
    // request is sent.
    CHttpConnection* GetHttpConnection(LPCWSTR server, DWORD flags,
                                       INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
                                       LPCWSTR userName = nullptr, LPCWSTR password = nullptr);
    CHttpConnection* GetHttpConnection(LPCWSTR server,
                                       INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
                                       LPCWSTR userName = nullptr, LPCWSTR password = nullptr) {
        return GetHttpConnection(server, 0, port, userName, password);
    }

    virtual void Close();
    operator HINTERNET() const { return m_hSession; }
    DWORD_PTR GetContext() const { return m_dwContext; }
    const CString& GetAgent() const { return m_agent; }

private:
    HINTERNET m_hSession = nullptr;
    DWORD m_openError = 0;
    DWORD_PTR m_dwContext;
    CString m_agent;
};
