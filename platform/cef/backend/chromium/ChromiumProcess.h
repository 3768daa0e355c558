// The Chromium-based browser the backend drives: found, started headless on
// a profile inside the application's cache folder, and its DevTools
// address learnt from the DevToolsActivePort file it writes there.
//
// Under Wine the browser is a Unix program (Debian's /usr/bin/chromium).
// Wine starts it from its Z: path but hands back no process handle and does
// not connect its output to our pipes (its standard error stays the Unix
// one of this process), so the port comes from the file, and the
// only way to end it is the protocol's Browser.close: a Unix process cannot
// be waited for or terminated from the Windows side (a browser that no
// longer answers its port stays behind). On Windows the process handle is
// ours, and a browser that does not close is terminated.
#pragma once

#include "cef/backend/UniqueHandle.h"
#include "cef/backend/chromium/WebSocketUrl.h"

#include <string>

namespace cefimpl::chromium {

class ChromiumProcess {
public:
    // A few seconds is what Chromium needs; the rest is room for a busy
    // machine.
    static constexpr unsigned kDefaultStartTimeoutMs = 20000;

    ChromiumProcess() = default;
    ~ChromiumProcess();
    ChromiumProcess(const ChromiumProcess&) = delete;
    ChromiumProcess& operator=(const ChromiumProcess&) = delete;

    // The browser's path, or empty with `error` naming what to install.
    static std::wstring FindBrowser(std::string& error);
    // True when this Windows program runs under Wine.
    static bool UnderWine();

    // Starts `program` on the profile folder inside `cacheDir` (both made
    // when missing) and waits, at most `timeoutMs`, for its DevTools port.
    bool Start(const std::wstring& program, const std::wstring& cacheDir,
               unsigned timeoutMs = kDefaultStartTimeoutMs);
    const std::string& Error() const { return m_error; }
    // The browser target's address, once started.
    const WebSocketUrl& Endpoint() const { return m_endpoint; }
    const std::wstring& ProfileDir() const { return m_profileDir; }

    // Whether something still accepts connections on the DevTools port.
    bool PortAnswers() const;
    // After Browser.close: true once the browser is gone (its process
    // ended, or under Wine its port no longer answers), false on timeout.
    bool WaitForExit(unsigned timeoutMs);
    // Sends Browser.close on a connection of its own and waits for the
    // end; a browser still running at destruction is closed so.
    bool Close(unsigned timeoutMs = 10000);

private:
    // False, saying so, when a live browser holds the profile.
    bool ClearStaleProfile();
    bool Launch(const std::wstring& program);
    bool AwaitEndpoint(unsigned timeoutMs);
    bool Fail(std::string error);
    // The process ended (never under Wine, which gives no handle).
    bool HasEnded() const;

    UniqueHandle m_process;
    std::wstring m_profileDir;
    WebSocketUrl m_endpoint;
    bool m_started = false;
    std::string m_error;
};

}  // namespace cefimpl::chromium
