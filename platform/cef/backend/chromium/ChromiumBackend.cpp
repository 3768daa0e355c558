#include "cef/backend/chromium/ChromiumBackend.h"

#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/RecordLog.h"
#include "cef/backend/Utf8Codec.h"
#include "cef/backend/chromium/ChromiumPage.h"
#include "cef/backend/chromium/CookieParams.h"

#include <cstdio>

namespace cefimpl::chromium {
namespace {

std::optional<UtcTime> ExpiryOf(const CefCookie& cookie) {
    if (!cookie.has_expires) return std::nullopt;
    const CefTime& t = cookie.expires;
    return UtcTime{t.year, t.month, t.day_of_month, t.hour, t.minute, t.second, t.millisecond};
}

}  // namespace

std::unique_ptr<ChromiumBackend> ChromiumBackend::Start(const std::wstring& cacheDir,
                                                        std::string& error) {
    std::wstring program = ChromiumProcess::FindBrowser(error);
    if (program.empty()) return nullptr;
    std::unique_ptr<ChromiumBackend> backend(new ChromiumBackend());
    if (!backend->m_process.Start(program, cacheDir)) {
        error = backend->m_process.Error();
        return nullptr;
    }
    if (!backend->Connect(error)) return nullptr;
    return backend;
}

bool ChromiumBackend::Connect(std::string& error) {
    m_connection.OnLost([this](const std::string& reason) {
        fprintf(stderr, "engine: Chromium is gone (%s)\n", reason.c_str());
        fflush(stderr);
        ConnectionLost();
    });
    m_connection.Session().On("Target.targetInfoChanged", {}, [this](const nlohmann::json& e) {
        TargetInfoChanged(e.value("targetInfo", nlohmann::json::object()));
    });
    if (!m_connection.Connect(m_process.Endpoint())) {
        error = "the browser's DevTools port does not answer: " + m_connection.Error();
        return false;
    }
    CdpResponse discover = m_connection.Call("Target.setDiscoverTargets", {{"discover", true}});
    if (!discover.ok) {
        error = "the browser refuses to report its targets: " + discover.errorMessage;
        return false;
    }
    return true;
}

ChromiumBackend::~ChromiumBackend() { Shutdown(); }

void ChromiumBackend::Shutdown() {
    std::map<int, std::shared_ptr<ChromiumPage>> pages;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        pages.swap(m_pages);
    }
    for (auto& entry : pages) entry.second->Close();
    m_connection.Close();
    m_process.Close();
}

std::shared_ptr<ChromiumPage> ChromiumBackend::PageOf(int browserId) {
    std::lock_guard<std::mutex> lock(m_lock);
    auto page = m_pages.find(browserId);
    return page == m_pages.end() ? nullptr : page->second;
}

// ---- Browsers --------------------------------------------------------------------------

void ChromiumBackend::BrowserCreated(BrowserHostImpl& browser) {
    auto page = std::make_shared<ChromiumPage>(m_connection, &browser);
    bool lost;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_pages[browser.Id()] = page;
        lost = m_lost;
    }
    if (lost) {
        page->BrowserLost();
        return;
    }
    page->Open();
}

void ChromiumBackend::BrowserClosed(BrowserHostImpl& browser) {
    std::shared_ptr<ChromiumPage> page;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto found = m_pages.find(browser.Id());
        if (found == m_pages.end()) return;
        page = found->second;
        m_pages.erase(found);
    }
    page->Close();
}

void ChromiumBackend::Navigate(BrowserHostImpl& browser, int frameIndex, const CefString& url) {
    if (auto page = PageOf(browser.Id())) page->Navigate(frameIndex, url.ToString());
}

void ChromiumBackend::Paint(BrowserHostImpl& browser, HDC dc, const RECT& client) {
    if (auto page = PageOf(browser.Id())) {
        page->Paint(dc, client);
    } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
}

void ChromiumBackend::Resized(BrowserHostImpl& browser, int width, int height) {
    if (auto page = PageOf(browser.Id())) page->Resize(width, height);
}

bool ChromiumBackend::HandleInput(BrowserHostImpl& browser, HWND window, UINT message,
                                  WPARAM wParam, LPARAM lParam, LRESULT& result) {
    auto page = PageOf(browser.Id());
    return page && page->HandleInput(window, message, wParam, lParam, result);
}

void ChromiumBackend::GlobalFunctions(BrowserHostImpl& browser, int frameIndex,
                                      const std::vector<CefString>& names) {
    std::vector<std::u16string> texts;
    for (const CefString& name : names) texts.push_back(name.ToString16());
    if (auto page = PageOf(browser.Id())) page->OfferFunctions(frameIndex, texts);
}

void ChromiumBackend::TargetInfoChanged(const nlohmann::json& info) {
    const std::string targetId = info.value("targetId", "");
    std::vector<std::shared_ptr<ChromiumPage>> pages;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto& entry : m_pages) pages.push_back(entry.second);
    }
    for (auto& page : pages) {
        if (page->TargetId() == targetId) {
            page->TargetInfoChanged(info.value("title", ""), info.value("url", ""));
        }
    }
}

void ChromiumBackend::ConnectionLost() {
    std::vector<std::shared_ptr<ChromiumPage>> pages;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_lost = true;
        for (auto& entry : m_pages) pages.push_back(entry.second);
    }
    for (auto& page : pages) page->BrowserLost();
}

// ---- Cookies -------------------------------------------------------------------------------

void ChromiumBackend::SetCookie(const CefString& url, const CefCookie& cookie) {
    CookieFields fields;
    fields.name = cookie.name.ToString16();
    fields.value = cookie.value.ToString16();
    fields.domain = cookie.domain.ToString16();
    fields.path = cookie.path.ToString16();
    fields.secure = cookie.secure;
    fields.httpOnly = cookie.httponly;
    fields.expires = ExpiryOf(cookie);
    fields = AsSentOnTheWire(fields);
    std::optional<nlohmann::json> params = SetCookieParams(fields, url.ToString16());
    if (!params) {
        RecordLog::Add(0, "chromium-cookie", {fields.name, u"unusable"});
        return;
    }
    std::u16string name = fields.name;
    m_connection.Command("Storage.setCookies", {{"cookies", nlohmann::json::array({*params})}}, {},
                         [name](const CdpResponse& answer) {
                             RecordLog::Add(
                                 0, "chromium-cookie",
                                 {name, answer.ok ? u"set" : FromUtf8(answer.errorMessage)});
                         });
}

}  // namespace cefimpl::chromium
