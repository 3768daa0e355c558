#include "afx/HttpConnection.h"

#include "afx/HttpFile.h"
#include "afx/InternetException.h"

namespace {
const LPCWSTR kVerbs[] = {L"POST", L"GET", L"HEAD", L"PUT", L"LINK", L"DELETE", L"UNLINK"};
}  // namespace

CHttpConnection::CHttpConnection(CInternetSession* session, HINTERNET handle, LPCWSTR server,
                                 INTERNET_PORT port, DWORD_PTR context)
    : m_session(session),
      m_hConnection(handle),
      m_server(server),
      m_port(port),
      m_dwContext(context) {}

CHttpConnection::~CHttpConnection() { Close(); }

void CHttpConnection::Close() {
    if (m_hConnection) {
        InternetCloseHandle(m_hConnection);
        m_hConnection = nullptr;
    }
}

CHttpFile* CHttpConnection::OpenRequest(int verb, LPCWSTR object, LPCWSTR referer,
                                        DWORD_PTR context, LPCWSTR* acceptTypes, LPCWSTR version,
                                        DWORD flags) {
    if (verb < HTTP_VERB_MIN || verb > HTTP_VERB_MAX) {
        AfxThrowInternetException(context, ERROR_INVALID_PARAMETER);
    }
    return OpenRequest(kVerbs[verb], object, referer, context, acceptTypes, version, flags);
}

CHttpFile* CHttpConnection::OpenRequest(LPCWSTR verb, LPCWSTR object, LPCWSTR referer,
                                        DWORD_PTR context, LPCWSTR* acceptTypes, LPCWSTR version,
                                        DWORD flags) {
    if (!m_hConnection) AfxThrowInternetException(context, ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    HINTERNET request =
        HttpOpenRequestW(m_hConnection, verb, object, version ? version : L"HTTP/1.0", referer,
                         acceptTypes, flags, context);
    if (!request) AfxThrowInternetException(context);
    return new CHttpFile(request, verb, object, this, context);
}
