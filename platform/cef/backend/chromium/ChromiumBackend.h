// The engine backend that has a real Chromium-based browser load and paint
// the pages: the browser runs headless on a profile in the application's
// cache folder, each engine browser is one of its page targets, and one
// DevTools connection carries them all.
#pragma once

#include "cef/backend/EngineBackend.h"
#include "cef/backend/chromium/ChromiumProcess.h"
#include "cef/backend/chromium/DevToolsConnection.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace cefimpl::chromium {

class ChromiumPage;

class ChromiumBackend : public EngineBackend {
public:
    // Finds and starts the browser; null with `error` saying what is
    // missing or what went wrong.
    static std::unique_ptr<ChromiumBackend> Start(const std::wstring& cacheDir, std::string& error);
    ~ChromiumBackend() override;

    const char* Name() const override { return "chromium"; }
    void BrowserCreated(BrowserHostImpl& browser) override;
    void BrowserClosed(BrowserHostImpl& browser) override;
    void Navigate(BrowserHostImpl& browser, int frameIndex, const CefString& url) override;
    void Paint(BrowserHostImpl& browser, HDC dc, const RECT& client) override;
    void Resized(BrowserHostImpl& browser, int width, int height) override;
    bool HandleInput(BrowserHostImpl& browser, HWND window, UINT message, WPARAM wParam,
                     LPARAM lParam, LRESULT& result) override;
    void GlobalFunctions(BrowserHostImpl& browser, int frameIndex,
                         const std::vector<CefString>& names) override;
    void SetCookie(const CefString& url, const CefCookie& cookie) override;
    void Shutdown() override;

private:
    ChromiumBackend() = default;
    bool Connect(std::string& error);
    std::shared_ptr<ChromiumPage> PageOf(int browserId);
    void TargetInfoChanged(const nlohmann::json& info);
    void ConnectionLost();

    ChromiumProcess m_process;
    DevToolsConnection m_connection;
    std::mutex m_lock;
    std::map<int, std::shared_ptr<ChromiumPage>> m_pages;
    bool m_lost = false;
};

}  // namespace cefimpl::chromium
