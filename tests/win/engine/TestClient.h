// A client handler for the tests: every callback is logged with the engine
// thread it ran on, and answers what the test set beforehand.
#pragma once

#include "cef/CefClient.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct ClientEvent {
    std::string name;    // the callback, e.g. "OnLoadEnd"
    std::string thread;  // "UI", "IO" or "other"
    int browserId = 0;
    std::vector<std::u16string> texts;
    std::vector<long long> numbers;
    CefRefPtr<CefProcessMessage> message;  // OnProcessMessageReceived
    CefRefPtr<CefDownloadItem> item;       // OnDownloadUpdated, a snapshot below
    CefRefPtr<CefBrowser> browser;         // OnAfterCreated
    bool isPopup = false;
    bool parentless = false;  // OnAfterCreated: a window without parent
};

class TestClient : public CefClient,
                   public CefContextMenuHandler,
                   public CefDisplayHandler,
                   public CefDownloadHandler,
                   public CefJSDialogHandler,
                   public CefLifeSpanHandler,
                   public CefLoadHandler,
                   public CefRequestHandler {
public:
    // ---- Answers ----
    std::atomic<bool> cancelPopups{false};
    std::atomic<bool> cancelNavigations{false};
    std::atomic<bool> swallowConsole{true};
    std::atomic<bool> suppressBeforeUnload{true};
    std::atomic<bool> clearPageMenus{true};
    std::atomic<bool> continueDownloads{true};
    std::atomic<bool> cancelDownloadAtFirstUpdate{false};
    std::atomic<bool> answerAuth{true};  // false: GetAuthCredentials returns false
    // Called on the engine thread inside OnLoadEnd (for blocking tests).
    std::function<void()> onLoadEnd;

    void ResetAnswers();

    // ---- What happened ----
    std::vector<ClientEvent> Events();
    std::vector<ClientEvent> EventsNamed(const std::string& name);
    void Clear();
    // Pumps the main thread's messages until an event named `name` matching
    // `match` arrived (since the last Clear), or the time is up.
    bool WaitFor(const std::string& name, ClientEvent* found = nullptr,
                 std::function<bool(const ClientEvent&)> match = nullptr,
                 unsigned timeoutMs = 10000);
    // The "ContextCreated" report of the frame named `frameName`.
    bool WaitForContext(const std::u16string& frameName, unsigned timeoutMs = 10000);

    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
    CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }
    CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() override { return this; }
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                  CefRefPtr<CefProcessMessage> message) override;

    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             CefRefPtr<CefContextMenuParams> params,
                             CefRefPtr<CefMenuModel> model) override;
    void OnAddressChange(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                         const CefString& url) override;
    void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) override;
    void OnStatusMessage(CefRefPtr<CefBrowser> browser, const CefString& text) override;
    bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message,
                          const CefString& source, int line) override;
    void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                          const CefString& suggestedName,
                          CefRefPtr<CefBeforeDownloadCallback> callback) override;
    void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                           CefRefPtr<CefDownloadItemCallback> callback) override;
    bool OnBeforeUnloadDialog(CefRefPtr<CefBrowser> browser, const CefString& messageText,
                              bool isReload, CefRefPtr<CefJSDialogCallback> callback) override;
    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                       const CefString& targetUrl, const CefString& targetFrameName,
                       const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                       CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                       bool* noJavascriptAccess) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;
    void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack,
                              bool canGoForward) override;
    void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) override;
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                   int httpStatusCode) override;
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                     const CefString& errorText, const CefString& failedUrl) override;
    bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                        CefRefPtr<CefRequest> request, bool isRedirect) override;
    bool GetAuthCredentials(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, bool isProxy,
                            const CefString& host, int port, const CefString& realm,
                            const CefString& scheme, CefRefPtr<CefAuthCallback> callback) override;

private:
    void Log(ClientEvent event, CefRefPtr<CefBrowser> browser);

    std::mutex m_mutex;
    std::vector<ClientEvent> m_events;

    IMPLEMENT_REFCOUNTING(TestClient);
};
