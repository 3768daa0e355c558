// The render sub-process: connects to its browser process over the pipe
// named on its command line, runs the render thread (this process's main
// thread) and keeps the page model the application's render hooks work on.
#pragma once

#include "cef/CefApp.h"
#include "cef/CefTesting.h"
#include "cef/backend/EngineThread.h"
#include "cef/backend/PipeChannel.h"
#include "cef/backend/RenderBrowser.h"

#include <memory>

namespace cefimpl {

class RenderProcess : public PipeChannel::Listener {
public:
    RenderProcess(CefRefPtr<CefApp> app, CefRefPtr<CefCommandLine> commandLine);

    // Until the browser process says quit or goes away; the exit code.
    int Run();

    std::string OnFrame(const std::string& payload) override;
    void OnClosed(const ChannelEnd& end) override;

private:
    bool Send(const std::string& frame);
    CefRefPtr<RenderFrame> Frame(int index);

    // ---- Render thread ----
    void ContextCreated(int64_t id, int index, const CefString& name, const CefString& url);
    void ProcessMessage(CefRefPtr<CefProcessMessage> message);
    void CallFunction(int index, const CefString& name,
                      const std::vector<cef_testing::ScriptArg>& args);
    void QueryBody(int index, const CefString& name);
    void SendGarbage(int kind);

    CefRefPtr<CefCommandLine> m_commandLine;
    CefRefPtr<CefRenderProcessHandler> m_handler;
    EngineThread m_thread{"renderer"};
    std::unique_ptr<PipeChannel> m_channel;
    CefRefPtr<RenderBrowser> m_browser;
};

}  // namespace cefimpl
