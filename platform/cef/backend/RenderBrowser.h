// A browser as its render process sees it: no host, its frames, and
// process messages to the browser process.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/backend/RenderFrame.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace cefimpl {

class RenderBrowser : public CefBrowser {
public:
    using Sender = std::function<bool(const std::string& frame)>;

    RenderBrowser(int id, Sender sender) : m_id(id), m_sender(std::move(sender)) {}

    // The frame at `index`, made when new or when its id changed. A new main
    // document drops the sub-frames of the old one.
    CefRefPtr<RenderFrame> PrepareFrame(int index, int64_t id, const CefString& name);
    CefRefPtr<RenderFrame> FrameAt(int index);
    void SetFocusedFrame(int index);
    // Ends every frame and stops sending; the browser is gone for good.
    void Close();

    CefRefPtr<CefBrowserHost> GetHost() override { return nullptr; }
    int GetIdentifier() override { return m_id; }
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    bool IsPopup() override { return false; }
    bool IsLoading() override { return false; }
    bool CanGoBack() override { return false; }
    bool CanGoForward() override { return false; }
    void Reload() override {}
    void ReloadIgnoreCache() override {}
    CefRefPtr<CefFrame> GetMainFrame() override { return FrameAt(0).get(); }
    CefRefPtr<CefFrame> GetFocusedFrame() override;
    size_t GetFrameCount() override;
    bool SendProcessMessage(CefProcessId targetProcess,
                            CefRefPtr<CefProcessMessage> message) override;

private:
    const int m_id;
    std::mutex m_mutex;
    Sender m_sender;
    std::vector<CefRefPtr<RenderFrame>> m_frames;
    int m_focusedFrame = -1;

    IMPLEMENT_REFCOUNTING(RenderBrowser);
};

}  // namespace cefimpl
