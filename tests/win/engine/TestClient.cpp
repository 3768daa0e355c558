#include "TestClient.h"

#include "EngineTestSupport.h"

#include "cef/CefTask.h"

namespace {

std::string ThreadName() {
    if (CefCurrentlyOn(TID_UI)) return "UI";
    return CefCurrentlyOn(TID_IO) ? "IO" : "other";
}

ClientEvent Event(const char* name, std::vector<std::u16string> texts = {},
                  std::vector<long long> numbers = {}) {
    ClientEvent event;
    event.name = name;
    event.texts = std::move(texts);
    event.numbers = std::move(numbers);
    return event;
}

// The item changes after the call; the test wants what the client saw.
class ItemSnapshot : public CefDownloadItem {
public:
    explicit ItemSnapshot(CefRefPtr<CefDownloadItem> item)
        : m_valid(item->IsValid()),
          m_inProgress(item->IsInProgress()),
          m_complete(item->IsComplete()),
          m_canceled(item->IsCanceled()),
          m_speed(item->GetCurrentSpeed()),
          m_percent(item->GetPercentComplete()),
          m_total(item->GetTotalBytes()),
          m_received(item->GetReceivedBytes()),
          m_url(item->GetURL()),
          m_name(item->GetSuggestedFileName()),
          m_path(item->GetFullPath()) {}
    bool IsValid() override { return m_valid; }
    bool IsInProgress() override { return m_inProgress; }
    bool IsComplete() override { return m_complete; }
    bool IsCanceled() override { return m_canceled; }
    int64_t GetCurrentSpeed() override { return m_speed; }
    int GetPercentComplete() override { return m_percent; }
    int64_t GetTotalBytes() override { return m_total; }
    int64_t GetReceivedBytes() override { return m_received; }
    CefString GetURL() override { return m_url; }
    CefString GetSuggestedFileName() override { return m_name; }
    CefString GetFullPath() override { return m_path; }

private:
    bool m_valid, m_inProgress, m_complete, m_canceled;
    int64_t m_speed;
    int m_percent;
    int64_t m_total, m_received;
    CefString m_url, m_name, m_path;

    IMPLEMENT_REFCOUNTING(ItemSnapshot);
};

}  // namespace

void TestClient::Log(ClientEvent event, CefRefPtr<CefBrowser> browser) {
    event.thread = ThreadName();
    event.browserId = browser ? browser->GetIdentifier() : 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(std::move(event));
}

std::vector<ClientEvent> TestClient::Events() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<ClientEvent> TestClient::EventsNamed(const std::string& name) {
    std::vector<ClientEvent> named;
    for (ClientEvent& event : Events()) {
        if (event.name == name) named.push_back(event);
    }
    return named;
}

void TestClient::ResetAnswers() {
    cancelPopups = false;
    cancelNavigations = false;
    swallowConsole = true;
    suppressBeforeUnload = true;
    clearPageMenus = true;
    continueDownloads = true;
    cancelDownloadAtFirstUpdate = false;
    answerAuth = true;
    onLoadEnd = nullptr;
}

void TestClient::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

bool TestClient::WaitFor(const std::string& name, ClientEvent* found,
                         std::function<bool(const ClientEvent&)> match, unsigned timeoutMs) {
    return PumpUntil(
        [&] {
            for (const ClientEvent& event : EventsNamed(name)) {
                if (match && !match(event)) continue;
                if (found) *found = event;
                return true;
            }
            return false;
        },
        timeoutMs);
}

bool TestClient::WaitForContext(const std::u16string& frameName, unsigned timeoutMs) {
    return WaitFor(
        "OnProcessMessageReceived", nullptr,
        [&](const ClientEvent& e) {
            return e.message->GetName() == CefString("ContextCreated") &&
                   e.message->GetArgumentList()->GetString(0).ToString16() == frameName;
        },
        timeoutMs);
}

// ---- Callbacks ----------------------------------------------------------------

bool TestClient::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source,
                                          CefRefPtr<CefProcessMessage> message) {
    ClientEvent event =
        Event("OnProcessMessageReceived", {message->GetName().ToString16()}, {source});
    event.message = message;
    Log(event, browser);
    return true;
}

void TestClient::OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame>,
                                     CefRefPtr<CefContextMenuParams> params,
                                     CefRefPtr<CefMenuModel> model) {
    Log(Event("OnBeforeContextMenu", {}, {params->GetTypeFlags(), model->GetCount()}), browser);
    if (clearPageMenus && (params->GetTypeFlags() & (CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME))) {
        model->Clear();
    }
}

void TestClient::OnAddressChange(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                 const CefString& url) {
    Log(Event("OnAddressChange", {url.ToString16(), frame->GetName().ToString16()},
              {frame->IsMain()}),
        browser);
}

void TestClient::OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {
    Log(Event("OnTitleChange", {title.ToString16()}), browser);
}

void TestClient::OnStatusMessage(CefRefPtr<CefBrowser> browser, const CefString& text) {
    Log(Event("OnStatusMessage", {text.ToString16()}), browser);
}

bool TestClient::OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message,
                                  const CefString& source, int line) {
    Log(Event("OnConsoleMessage", {message.ToString16(), source.ToString16()}, {line}), browser);
    return swallowConsole;
}

void TestClient::OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                  const CefString& suggestedName,
                                  CefRefPtr<CefBeforeDownloadCallback> callback) {
    Log(Event("OnBeforeDownload", {suggestedName.ToString16(), item->GetURL().ToString16()}),
        browser);
    if (continueDownloads)
        callback->Continue(u"C:\\downloads\\" + suggestedName.ToString16(), true);
}

void TestClient::OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                   CefRefPtr<CefDownloadItemCallback> callback) {
    ClientEvent event = Event("OnDownloadUpdated");
    event.item = new ItemSnapshot(item);
    Log(event, browser);
    if (cancelDownloadAtFirstUpdate && !item->IsCanceled()) callback->Cancel();
}

bool TestClient::OnBeforeUnloadDialog(CefRefPtr<CefBrowser> browser, const CefString&, bool,
                                      CefRefPtr<CefJSDialogCallback>) {
    Log(Event("OnBeforeUnloadDialog"), browser);
    return suppressBeforeUnload;
}

bool TestClient::OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                               const CefString& targetUrl, const CefString& targetFrameName,
                               const CefPopupFeatures&, CefWindowInfo&, CefRefPtr<CefClient>&,
                               CefBrowserSettings&, bool*) {
    Log(Event("OnBeforePopup", {targetUrl.ToString16(), targetFrameName.ToString16(),
                                frame->GetName().ToString16()}),
        browser);
    return cancelPopups;
}

void TestClient::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
    ClientEvent event = Event("OnAfterCreated");
    event.browser = browser;
    event.isPopup = browser->IsPopup();
    HWND window = browser->GetHost()->GetWindowHandle();
    event.parentless = window && !GetParent(window);
    Log(event, browser);
}

void TestClient::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
    Log(Event("OnBeforeClose"), browser);
}

void TestClient::OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack,
                                      bool canGoForward) {
    Log(Event("OnLoadingStateChange", {}, {isLoading, canGoBack, canGoForward}), browser);
}

void TestClient::OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {
    Log(Event("OnLoadStart", {frame->GetURL().ToString16()}), browser);
}

void TestClient::OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                           int httpStatusCode) {
    Log(Event("OnLoadEnd", {frame->GetName().ToString16(), frame->GetURL().ToString16()},
              {httpStatusCode, frame->IsMain()}),
        browser);
    if (onLoadEnd) onLoadEnd();
}

void TestClient::OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             ErrorCode errorCode, const CefString& errorText,
                             const CefString& failedUrl) {
    Log(Event("OnLoadError",
              {errorText.ToString16(), failedUrl.ToString16(), frame->GetName().ToString16()},
              {errorCode}),
        browser);
}

bool TestClient::OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                CefRefPtr<CefRequest> request, bool isRedirect) {
    Log(Event("OnBeforeBrowse", {request->GetURL().ToString16(), request->GetMethod().ToString16()},
              {isRedirect, frame->IsMain()}),
        browser);
    return cancelNavigations;
}

bool TestClient::GetAuthCredentials(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame>,
                                    bool isProxy, const CefString& host, int port,
                                    const CefString& realm, const CefString& scheme,
                                    CefRefPtr<CefAuthCallback> callback) {
    Log(Event("GetAuthCredentials", {host.ToString16(), realm.ToString16(), scheme.ToString16()},
              {isProxy, port}),
        browser);
    if (!answerAuth) return false;
    callback->Continue("player", u"pa\u00DFword");
    return true;
}
