#include "cef/backend/RenderProcessHost.h"

#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/ProcessMessageImpl.h"
#include "cef/backend/RecordLog.h"
#include "cef/backend/WireValues.h"

#include <cstdio>
#include <vector>

namespace cefimpl {
namespace {

constexpr UINT kKilledExitCode = 0xDEAD;
// How long a render process whose pipe broke gets to report its exit code.
constexpr DWORD kExitWaitMs = 2000;

std::u16string Wide(const std::string& text) { return CefString(text).ToString16(); }

std::wstring ExecutablePath() {
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(length);
    return path;
}

std::wstring NewPipeName(int browserId) {
    static std::atomic<unsigned> counter{0};
    return L"\\\\.\\pipe\\ashgrove-engine." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(browserId) + L"." + std::to_wstring(++counter) + L"." +
           std::to_wstring(GetTickCount64());
}

}  // namespace

RenderProcessHost::RenderProcessHost(CefRefPtr<BrowserHostImpl> browser)
    : m_browserId(browser->Id()), m_browser(browser) {}

RenderProcessHost::~RenderProcessHost() { Reap(0); }

void RenderProcessHost::Record(const std::string& kind, std::vector<std::u16string> fields) {
    RecordLog::Add(m_browserId, kind, std::move(fields));
}

bool RenderProcessHost::Launch(const std::string& backendName) {
    std::wstring pipe = NewPipeName(m_browserId);
    m_channel = PipeChannel::Listen(pipe, *this);
    std::wstring exe = ExecutablePath();
    std::wstring commandLine = L"\"" + exe + L"\" --type=renderer --engine-backend=" +
                               CefString(backendName).ToWString() + L" --engine-channel=" + pipe +
                               L" --engine-browser-id=" + std::to_wstring(m_browserId);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // No console for the render process: under Wine a child that shares a
    // console host's console can take the host down when it ends. (A
    // windowed client has no console to share anyway.)
    if (!m_channel || !CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                      DETACHED_PROCESS, nullptr, nullptr, &startup, &info)) {
        DWORD error = GetLastError();
        fprintf(stderr, "engine: browser %d: cannot start a render process (error %lu)\n",
                m_browserId, error);
        fflush(stderr);
        Record("render-ended", {u"0", u"launch-failed"});
        m_channel.reset();
        return false;
    }
    m_process.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    m_pid = info.dwProcessId;
    if (!m_channel->Start(m_process.get())) {
        TerminateProcess(m_process.get(), kKilledExitCode);
        m_channel.reset();
        return false;
    }
    return true;
}

bool RenderProcessHost::IsAlive() const { return m_channel && m_channel->IsOpen(); }

bool RenderProcessHost::HasEnded() const { return !m_channel || m_channel->HasEnded(); }

bool RenderProcessHost::Send(const std::string& frame) {
    return m_channel && m_channel->Send(frame);
}

bool RenderProcessHost::Kill() {
    if (!m_process || !IsAlive()) return false;
    m_killed = true;
    return TerminateProcess(m_process.get(), kKilledExitCode) != FALSE;
}

void RenderProcessHost::RequestQuit() {
    if (m_quitRequested.exchange(true)) return;
    Send(WireWriter(WireType::kQuit).Frame());
}

void RenderProcessHost::Reap(DWORD waitMs) {
    if (m_process && WaitForSingleObject(m_process.get(), waitMs) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.get(), kKilledExitCode);
        WaitForSingleObject(m_process.get(), kExitWaitMs);
    }
    if (m_channel) m_channel->Stop();
}

// ---- Channel thread ---------------------------------------------------------------

std::string RenderProcessHost::OnFrame(const std::string& payload) {
    WireReader reader(payload);
    auto type = static_cast<WireType>(reader.U8());
    CefRefPtr<BrowserHostImpl> browser;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        browser = m_browser;
    }
    switch (type) {
        case WireType::kHello: {
            uint32_t pid = reader.U32();
            std::u16string commandLine = reader.Str();
            if (!reader.Finish()) break;
            Record("render-started", {Wide(std::to_string(pid)), commandLine});
            return std::string();
        }
        case WireType::kToBrowser: {
            CefString name = reader.Str();
            CefRefPtr<CefListValueImpl> list = ReadList(reader);
            if (!reader.Finish()) break;
            if (browser) browser->DeliverProcessMessage(new CefProcessMessageImpl(name, list));
            return std::string();
        }
        case WireType::kBodyAttribute: {
            int index = reader.I32();
            std::u16string name = reader.Str();
            bool hasBody = reader.Bool();
            std::u16string value = reader.Str();
            if (!reader.Finish()) break;
            Record("body-attribute",
                   {Wide(std::to_string(index)), name, value, hasBody ? u"body" : u"no-body"});
            return std::string();
        }
        case WireType::kScriptResult: {
            int index = reader.I32();
            std::u16string name = reader.Str();
            std::u16string outcome = reader.Str();
            if (!reader.Finish()) break;
            Record("script-call", {Wide(std::to_string(index)), name, outcome});
            return std::string();
        }
        case WireType::kGlobalFunctions: {
            int index = reader.I32();
            std::vector<CefString> names;
            // Each name takes at least its four-byte count: a count beyond
            // what is left cannot be honest.
            uint32_t count = reader.U32();
            if (count > reader.Remaining() / 4) break;
            for (uint32_t i = 0; i < count; ++i) names.push_back(reader.Str());
            if (!reader.Finish()) break;
            if (browser) browser->OnGlobalFunctions(index, std::move(names));
            return std::string();
        }
        default:
            return "unknown message type " + std::to_string(static_cast<int>(type));
    }
    return "malformed message of type " + std::to_string(static_cast<int>(type));
}

std::string RenderProcessHost::EndReason(const ChannelEnd& end) {
    if (m_killed) return "killed";
    if (end.kind == ChannelEnd::kProtocolError) return "protocol-error";
    if (end.kind == ChannelEnd::kConnectFailed) return "connect-failed";
    if (m_quitRequested || end.kind == ChannelEnd::kStopped) return "closed";
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(m_process.get(), kExitWaitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(m_process.get(), &code);
    }
    return code == STILL_ACTIVE ? "broken-pipe" : "exited " + std::to_string(code);
}

void RenderProcessHost::OnClosed(const ChannelEnd& end) {
    if (end.kind == ChannelEnd::kProtocolError) {
        // Once a peer sends garbage, nothing it says can be trusted: end it.
        TerminateProcess(m_process.get(), kKilledExitCode);
        fprintf(stderr, "engine: browser %d: bad frame from render process %lu (%s); ending it\n",
                m_browserId, m_pid, end.detail.c_str());
        Record("protocol-error", {Wide(end.detail)});
    }
    std::string reason = EndReason(end);
    if (reason != "closed" && end.kind != ChannelEnd::kProtocolError) {
        fprintf(stderr, "engine: browser %d: render process %lu ended: %s%s%s\n", m_browserId,
                m_pid, reason.c_str(), end.detail.empty() ? "" : ", ", end.detail.c_str());
    }
    fflush(stderr);
    Record("render-ended", {Wide(std::to_string(m_pid)), Wide(reason)});
    CefRefPtr<BrowserHostImpl> browser;
    std::lock_guard<std::mutex> lock(m_mutex);
    browser = m_browser;
    m_browser = nullptr;
}

}  // namespace cefimpl
