#include "afx/InternetSession.h"

#include "afx/Afx.h"
#include "afx/HttpConnection.h"
#include "afx/InternetException.h"

namespace {
CString ApplicationTitle() {
    CString title;
    if (CWinApp* app = AfxGetApp()) title = app->m_appName;
    if (title.IsEmpty()) title.LoadString(AFX_IDS_APP_TITLE);
    return title;
}
}  // namespace

CInternetSession::CInternetSession(LPCWSTR agent, DWORD_PTR context, DWORD accessType,
                                   LPCWSTR proxyName, LPCWSTR proxyBypass, DWORD flags)
    : m_dwContext(context), m_agent(agent ? CString(agent) : ApplicationTitle()) {
    m_hSession = InternetOpenW(m_agent.IsEmpty() ? nullptr : m_agent.GetString(), accessType,
                               proxyName, proxyBypass, flags);
    if (!m_hSession) m_openError = GetLastError();
}

CInternetSession::~CInternetSession() { Close(); }

void CInternetSession::Close() {
    if (m_hSession) {
        InternetCloseHandle(m_hSession);
        m_hSession = nullptr;
        if (!m_openError) m_openError = ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCWSTR server, DWORD flags,
                                                     INTERNET_PORT port, LPCWSTR userName,
                                                     LPCWSTR password) {
    if (!m_hSession) {
        AfxThrowInternetException(
            m_dwContext, m_openError ? m_openError : ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    }
    HINTERNET connection = InternetConnectW(m_hSession, server, port, userName, password,
                                            INTERNET_SERVICE_HTTP, flags, m_dwContext);
    if (!connection) AfxThrowInternetException(m_dwContext);
    return new CHttpConnection(this, connection, server, port, m_dwContext);
}
