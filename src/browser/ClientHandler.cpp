#include "browser/ClientHandler.h"

#include "browser/BrowserMessages.h"
#include "cef/CefTask.h"

#include <shlobj.h>

#include <cwchar>
#include <string>

namespace {

// ---- Reaching the host window ----------------------------------------------

// Host windows create their browsers as direct children. The engine's own
// popups are top-level and have no host: the send fails and reads as 0.
LRESULT SendToHost(CefRefPtr<CefBrowser> browser, UINT message, WPARAM wParam, LPARAM lParam) {
    CefRefPtr<CefBrowserHost> host = browser ? browser->GetHost() : nullptr;
    HWND hostWindow = host ? GetParent(host->GetWindowHandle()) : nullptr;
    return hostWindow ? SendMessageW(hostWindow, message, wParam, lParam) : 0;
}

WPARAM TextParam(const CefString& text) { return reinterpret_cast<WPARAM>(text.c_str()); }

// The receiver may fill every character without a terminating NUL.
CefString BufferText(const wchar_t* buffer, size_t capacity) {
    return CefString(std::wstring(buffer, wcsnlen(buffer, capacity)));
}

// A server-suggested name may carry folders ("..\\x"); only its last part
// may name the file, so the proposed path stays inside the documents folder.
std::string FileNamePart(const std::string& name) {
    const size_t slash = name.find_last_of("\\/:");
    std::string part = slash == std::string::npos ? name : name.substr(slash + 1);
    return part == "." || part == ".." ? std::string() : part;
}

}  // namespace

// ---- CefClient ---------------------------------------------------------------

bool ClientHandler::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                             CefProcessId sourceProcess,
                                             CefRefPtr<CefProcessMessage> message) {
    REQUIRE_UI_THREAD();
    (void)sourceProcess;
    if (!message || message->GetName() != CefString(u"PopGameWindow")) return false;
    SendToHost(browser, WM_BROWSER_POPGAMEWINDOW, reinterpret_cast<WPARAM>(message.get()), 0);
    return true;
}

// ---- CefContextMenuHandler ---------------------------------------------------

void ClientHandler::OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                        CefRefPtr<CefContextMenuParams> params,
                                        CefRefPtr<CefMenuModel> model) {
    REQUIRE_UI_THREAD();
    (void)browser, (void)frame;
    if (!params || !model) return;
    const int pageOrFrame = CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME;
    // An empty menu is not shown: the page gets no menu at all.
    if ((params->GetTypeFlags() & pageOrFrame) && model->GetCount() > 0) model->Clear();
}

bool ClientHandler::OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                         CefRefPtr<CefContextMenuParams> params, int commandId,
                                         cef_event_flags_t eventFlags) {
    REQUIRE_UI_THREAD();
    (void)browser, (void)frame, (void)params, (void)commandId, (void)eventFlags;
    return false;
}

// ---- CefDisplayHandler -------------------------------------------------------

void ClientHandler::OnAddressChange(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    const CefString& url) {
    REQUIRE_UI_THREAD();
    (void)frame;
    SendToHost(browser, WM_BROWSER_ADDRESSCHANGE, TextParam(url), 0);
}

void ClientHandler::OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {
    REQUIRE_UI_THREAD();
    SendToHost(browser, WM_BROWSER_TITLECHANGE, TextParam(title), 0);
}

void ClientHandler::OnStatusMessage(CefRefPtr<CefBrowser> browser, const CefString& value) {
    REQUIRE_UI_THREAD();
    SendToHost(browser, WM_BROWSER_STATUSMESSAGE, TextParam(value), 0);
}

bool ClientHandler::OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message,
                                     const CefString& source, int line) {
    REQUIRE_UI_THREAD();
    (void)browser, (void)message, (void)source, (void)line;
    return true;
}

// ---- CefDownloadHandler ------------------------------------------------------

CefString ClientHandler::GetDownloadPath(const CefString& suggestedName) {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, folder))) {
        return CefString();
    }
    const std::string path =
        CefString(folder).ToString() + "\\" + FileNamePart(suggestedName.ToString());
    return CefString(path);
}

void ClientHandler::OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                     const CefString& suggestedName,
                                     CefRefPtr<CefBeforeDownloadCallback> callback) {
    REQUIRE_UI_THREAD();
    (void)browser, (void)item;
    // The user always sees the save dialog, prefilled with the proposal.
    if (callback) callback->Continue(GetDownloadPath(suggestedName), true);
}

void ClientHandler::OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                                      CefRefPtr<CefDownloadItem> item,
                                      CefRefPtr<CefDownloadItemCallback> callback) {
    REQUIRE_UI_THREAD();
    (void)callback;
    if (!item) return;
    BrowserDownloadState state = {};
    state.valid = item->IsValid() ? 1 : 0;
    state.inProgress = item->IsInProgress() ? 1 : 0;
    state.complete = item->IsComplete() ? 1 : 0;
    state.canceled = item->IsCanceled() ? 1 : 0;
    state.percent = item->GetPercentComplete();
    state.speed = item->GetCurrentSpeed();
    state.received = item->GetReceivedBytes();
    state.total = item->GetTotalBytes();
    SendToHost(browser, WM_BROWSER_DOWNLOADUPDATED, reinterpret_cast<WPARAM>(&state), 0);
}

// ---- CefLifeSpanHandler ------------------------------------------------------

bool ClientHandler::OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  const CefString& targetUrl, const CefString& targetFrameName,
                                  const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                                  CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                                  bool* noJavascriptAccess) {
    REQUIRE_IO_THREAD();
    (void)frame, (void)popupFeatures, (void)windowInfo, (void)client, (void)settings;
    (void)noJavascriptAccess;
    const CefString url = targetUrl;
    const CefString name = targetFrameName;
    const LRESULT result = SendToHost(browser, WM_BROWSER_BEFOREPOPUP, TextParam(url),
                                      static_cast<LPARAM>(TextParam(name)));
    return result == 1;
}

void ClientHandler::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
    REQUIRE_UI_THREAD();
    if (!browser) return;
    SendToHost(browser, WM_BROWSER_AFTERCREATED, static_cast<WPARAM>(browser->GetIdentifier()),
               reinterpret_cast<LPARAM>(browser.get()));
}

bool ClientHandler::DoClose(CefRefPtr<CefBrowser> browser) {
    REQUIRE_UI_THREAD();
    (void)browser;
    return false;
}

void ClientHandler::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
    REQUIRE_UI_THREAD();
    (void)browser;
}

// ---- CefLoadHandler ----------------------------------------------------------

void ClientHandler::OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading,
                                         bool canGoBack, bool canGoForward) {
    REQUIRE_UI_THREAD();
    const WPARAM bits = (isLoading ? 1 : 0) | (canGoBack ? 2 : 0) | (canGoForward ? 4 : 0);
    SendToHost(browser, WM_BROWSER_LOADINGSTATE, bits, 0);
}

void ClientHandler::OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              int httpStatusCode) {
    REQUIRE_UI_THREAD();
    (void)frame;
    SendToHost(browser, WM_BROWSER_LOADEND, static_cast<WPARAM>(httpStatusCode), 0);
}

void ClientHandler::OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                ErrorCode errorCode, const CefString& errorText,
                                const CefString& failedUrl) {
    REQUIRE_UI_THREAD();
    (void)frame, (void)errorText;
    if (errorCode != ERR_NAME_NOT_RESOLVED) return;
    SendToHost(browser, WM_BROWSER_NAMENOTRESOLVED, TextParam(failedUrl), 0);
}

// ---- CefRequestHandler -------------------------------------------------------

bool ClientHandler::OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefRequest> request, bool isRedirect) {
    REQUIRE_UI_THREAD();
    (void)frame;
    const CefString url = request ? request->GetURL() : CefString();
    return SendToHost(browser, WM_BROWSER_BEFOREBROWSE, TextParam(url), isRedirect ? 1 : 0) == 1;
}

bool ClientHandler::GetAuthCredentials(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                       bool isProxy, const CefString& host, int port,
                                       const CefString& realm, const CefString& scheme,
                                       CefRefPtr<CefAuthCallback> callback) {
    REQUIRE_IO_THREAD();
    (void)frame, (void)isProxy, (void)port, (void)scheme;
    BrowserAuthRequest request = {};
    request.host = host.c_str();
    request.realm = realm.c_str();
    if (SendToHost(browser, WM_BROWSER_AUTHCREDENTIALS, reinterpret_cast<WPARAM>(&request), 0) !=
        0) {
        return false;
    }
    if (callback) {
        callback->Continue(BufferText(request.user, kBrowserAuthTextChars),
                           BufferText(request.password, kBrowserAuthTextChars));
    }
    return true;
}

void ClientHandler::OnProtocolExecution(CefRefPtr<CefBrowser> browser, const CefString& url,
                                        bool& allowOsExecution) {
    REQUIRE_UI_THREAD();
    // Unknown schemes are never handed to the operating system.
    (void)browser, (void)url, (void)allowOsExecution;
}

// ---- CefJSDialogHandler ------------------------------------------------------

bool ClientHandler::OnBeforeUnloadDialog(CefRefPtr<CefBrowser> browser,
                                         const CefString& messageText, bool isReload,
                                         CefRefPtr<CefJSDialogCallback> callback) {
    REQUIRE_UI_THREAD();
    // Handled by never running the callback: no dialog is shown, and the
    // engine's reference to it is dropped when we return.
    (void)browser, (void)messageText, (void)isReload, (void)callback;
    return true;
}
