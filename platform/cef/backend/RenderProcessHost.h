// The browser process's side of one render sub-process: starts it from this
// executable, owns its process handle and its channel, and turns its
// messages into the browser's events. A render process that dies or talks
// nonsense ends here, visibly (a line on stderr and a record), and the
// browser carries on without it until it starts another.
#pragma once

#include "cef/backend/PipeChannel.h"
#include "cef/backend/UniqueHandle.h"

#include "cef/CefBase.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cefimpl {

class BrowserHostImpl;

class RenderProcessHost : public PipeChannel::Listener {
public:
    explicit RenderProcessHost(CefRefPtr<BrowserHostImpl> browser);
    ~RenderProcessHost() override;

    // Starts the process and its channel; false (said on stderr) on failure.
    bool Launch(const std::string& backendName);
    // True while the channel is open.
    bool IsAlive() const;
    DWORD Pid() const { return m_pid; }
    HANDLE Process() const { return m_process.get(); }
    bool Send(const std::string& frame);
    // Ends the process the hard way, as a crash would.
    bool Kill();
    // Asks the process to end by itself.
    void RequestQuit();
    // True once the channel thread has finished.
    bool HasEnded() const;
    // Gives the process `waitMs` to end, ends it otherwise, and joins the
    // channel thread. Closing the handles is left to the destructor.
    void Reap(DWORD waitMs);

    std::string OnFrame(const std::string& payload) override;
    void OnClosed(const ChannelEnd& end) override;

private:
    std::string EndReason(const ChannelEnd& end);
    void Record(const std::string& kind, std::vector<std::u16string> fields);

    const int m_browserId;
    std::mutex m_mutex;
    CefRefPtr<BrowserHostImpl> m_browser;  // until the channel closes
    UniqueHandle m_process;
    DWORD m_pid = 0;
    std::unique_ptr<PipeChannel> m_channel;
    std::atomic<bool> m_killed{false};
    std::atomic<bool> m_quitRequested{false};
};

}  // namespace cefimpl
