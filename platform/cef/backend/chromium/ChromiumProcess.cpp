#include "cef/backend/chromium/ChromiumProcess.h"

#include "cef/backend/Utf8Codec.h"
#include "cef/backend/WinsockScope.h"
#include "cef/backend/chromium/ChromiumCommandLine.h"
#include "cef/backend/chromium/DevToolsConnection.h"
#include "cef/backend/chromium/DevToolsEndpoint.h"
#include "cef/backend/chromium/TcpConnect.h"

#include <filesystem>
#include <sstream>
#include <vector>

namespace cefimpl::chromium {
namespace {

constexpr wchar_t kProfileFolder[] = L"chromium-profile";
constexpr wchar_t kPortFile[] = L"DevToolsActivePort";
constexpr unsigned kPollMs = 50;

// ---- Wine -------------------------------------------------------------------------

// Wine's own exports for crossing between Windows and Unix paths; the
// results live on the process heap.
using UnixNameOf = char*(CDECL*)(const wchar_t*);
using DosNameOf = wchar_t*(CDECL*)(const char*);

// Through void*: the export's real type is not GetProcAddress's.
template <typename Function>
Function Kernel32Export(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

std::string UnixPathOf(const std::wstring& windowsPath) {
    auto unixNameOf = Kernel32Export<UnixNameOf>("wine_get_unix_file_name");
    char* name = unixNameOf ? unixNameOf(windowsPath.c_str()) : nullptr;
    if (!name) return std::string();
    std::string path(name);
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

std::wstring DosPathOf(const char* unixPath) {
    auto dosNameOf = Kernel32Export<DosNameOf>("wine_get_dos_file_name");
    wchar_t* name = dosNameOf ? dosNameOf(unixPath) : nullptr;
    if (!name) return std::wstring();
    std::wstring path(name);
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

// ---- Files ------------------------------------------------------------------------

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::string Narrow(const std::wstring& text) { return ToUtf8(U16(text)); }

// The file's first few kilobytes; empty when it cannot be read (not yet
// written, or being replaced).
std::string ReadSmallFile(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    char buffer[4096];
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::string();
    return std::string(buffer, read);
}

// What the file says, once it is there.
DevToolsEndpoint ReadPortFile(const std::wstring& path) {
    const std::string contents = ReadSmallFile(path);
    return contents.empty() ? DevToolsEndpoint() : DevToolsEndpoint::FromActivePortFile(contents);
}

std::wstring EnvironmentPath(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

// Chromium refuses its sandbox to root. Under Wine this program is a Unix
// process as well, and /proc names its user; Windows has no such refusal.
Sandbox SandboxForThisUser() {
    if (!ChromiumProcess::UnderWine()) return Sandbox::kOn;
    const std::string status = ReadSmallFile(DosPathOf("/proc/self/status"));
    const size_t line = status.find("\nUid:");
    if (line == std::string::npos) return Sandbox::kOn;
    std::istringstream ids(status.substr(line + 5));
    unsigned long real = 0, effective = 0;
    ids >> real >> effective;
    return ids && effective == 0 ? Sandbox::kOff : Sandbox::kOn;
}

// This process's environment with `added` in place of variables of the
// same names, as CreateProcessW takes it.
std::vector<wchar_t> EnvironmentWith(const std::vector<std::wstring>& added) {
    std::vector<wchar_t> block;
    auto append = [&block](const std::wstring& entry) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    };
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
        bool replaced = false;
        for (const std::wstring& variable : added) {
            replaced = replaced || _wcsnicmp(entry, variable.c_str(), variable.find(L'=') + 1) == 0;
        }
        if (!replaced) append(entry);
    }
    FreeEnvironmentStringsW(strings);
    for (const std::wstring& variable : added) append(variable);
    block.push_back(L'\0');
    return block;
}

// A Unix Chromium keeps crash reports and caches in the user's XDG folders
// whatever its profile; pointed into the profile, everything it writes
// stays in the application's cache folder.
std::vector<wchar_t> UnixBrowserEnvironment(const std::u16string& profile) {
    const std::wstring folder(profile.begin(), profile.end());
    return EnvironmentWith(
        {L"XDG_CONFIG_HOME=" + folder + L"/config", L"XDG_CACHE_HOME=" + folder + L"/cache"});
}

// ---- Where browsers are installed ---------------------------------------------------

std::wstring FindUnixBrowser() {
    static const char* const kPrograms[] = {
        "/usr/bin/chromium",      "/usr/bin/chromium-browser", "/usr/bin/google-chrome-stable",
        "/usr/bin/google-chrome", "/usr/bin/microsoft-edge",
    };
    for (const char* program : kPrograms) {
        const std::wstring path = DosPathOf(program);
        if (!path.empty() && IsFile(path)) return path;
    }
    return std::wstring();
}

std::wstring FindWindowsBrowser() {
    static const wchar_t* const kRoots[] = {L"ProgramFiles", L"ProgramFiles(x86)", L"LocalAppData"};
    static const wchar_t* const kPrograms[] = {
        L"\\Google\\Chrome\\Application\\chrome.exe",
        L"\\Microsoft\\Edge\\Application\\msedge.exe",
        L"\\Chromium\\Application\\chrome.exe",
    };
    for (const wchar_t* program : kPrograms) {
        for (const wchar_t* root : kRoots) {
            const std::wstring folder = EnvironmentPath(root);
            if (!folder.empty() && IsFile(folder + program)) return folder + program;
        }
    }
    return std::wstring();
}

}  // namespace

// ---- ChromiumProcess ----------------------------------------------------------------

ChromiumProcess::~ChromiumProcess() {
    if (m_started) Close();
}

bool ChromiumProcess::UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring ChromiumProcess::FindBrowser(std::string& error) {
    std::wstring found = UnderWine() ? FindUnixBrowser() : std::wstring();
    if (found.empty()) found = FindWindowsBrowser();
    if (found.empty()) {
        error = UnderWine()
                    ? "no Chromium-based browser found: install Debian's chromium package "
                      "(apt-get install chromium), which provides /usr/bin/chromium"
                    : "no Chromium-based browser found: install Google Chrome, Microsoft Edge "
                      "or Chromium";
    }
    return found;
}

bool ChromiumProcess::Start(const std::wstring& program, const std::wstring& cacheDir,
                            unsigned timeoutMs) {
    if (m_started) return Fail("the browser is already started");
    if (!IsFile(program)) return Fail("no browser at " + Narrow(program));
    m_profileDir = cacheDir + L"\\" + kProfileFolder;
    std::error_code failed;
    std::filesystem::create_directories(std::filesystem::path(m_profileDir), failed);
    if (failed) return Fail("cannot make the profile folder " + Narrow(m_profileDir));
    if (!ClearStaleProfile()) return false;
    m_started = Launch(program) && AwaitEndpoint(timeoutMs);
    return m_started;
}

bool ChromiumProcess::ClearStaleProfile() {
    const std::wstring portFile = m_profileDir + L"\\" + kPortFile;
    const DevToolsEndpoint earlier = ReadPortFile(portFile);
    if (earlier.state == DevToolsEndpoint::kFound) {
        WinsockScope winsock;
        std::string error;
        if (winsock && TcpConnect(earlier.url.host, earlier.url.port, 1000, error)) {
            return Fail("another browser runs on the profile " + Narrow(m_profileDir));
        }
    }
    // A file left by an earlier browser on this profile names a dead port.
    DeleteFileW(portFile.c_str());
    return true;
}

bool ChromiumProcess::Launch(const std::wstring& program) {
    // A Unix browser reads Unix paths.
    const std::u16string profile =
        UnderWine() ? FromUtf8(UnixPathOf(m_profileDir)) : U16(m_profileDir);
    if (profile.empty())
        return Fail("the profile folder has no Unix path: " + Narrow(m_profileDir));
    const std::u16string line =
        WindowsCommandLine(U16(program), ChromiumArguments(profile, SandboxForThisUser()));
    std::wstring commandLine(line.begin(), line.end());
    std::vector<wchar_t> environment;
    if (UnderWine()) environment = UnixBrowserEnvironment(profile);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : environment.data(), nullptr, &startup,
                        &info)) {
        return Fail("cannot start " + Narrow(program) + " (error " +
                    std::to_string(GetLastError()) + ")");
    }
    // Under Wine both handles are null for a Unix program.
    m_process.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    return true;
}

bool ChromiumProcess::AwaitEndpoint(unsigned timeoutMs) {
    const std::wstring portFile = m_profileDir + L"\\" + kPortFile;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    DevToolsEndpoint endpoint;
    for (;;) {
        // Read before checking for the end, so a browser that wrote its
        // file and quit at once still counts as having started.
        endpoint = ReadPortFile(portFile);
        if (endpoint.state == DevToolsEndpoint::kFound) {
            m_endpoint = endpoint.url;
            return true;
        }
        if (HasEnded()) return Fail("the browser ended before it reported its DevTools port");
        if (GetTickCount64() >= deadline) break;
        Sleep(kPollMs);
    }
    // Half written, perhaps, when malformed: only the last reading counts.
    const std::string found = endpoint.state == DevToolsEndpoint::kMalformed
                                  ? endpoint.error
                                  : "no DevToolsActivePort in " + Narrow(m_profileDir);
    return Fail("the browser reported no DevTools port within " + std::to_string(timeoutMs) +
                " ms (" + found + ")" +
                // A Unix browser's own complaints reach only our standard error.
                (UnderWine() ? "; its messages are on standard error" : ""));
}

bool ChromiumProcess::PortAnswers() const {
    if (!m_started) return false;
    WinsockScope winsock;
    std::string error;
    return winsock && TcpConnect(m_endpoint.host, m_endpoint.port, 1000, error);
}

bool ChromiumProcess::WaitForExit(unsigned timeoutMs) {
    if (m_process) return WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (PortAnswers()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
    return true;
}

bool ChromiumProcess::Close(unsigned timeoutMs) {
    if (!m_started || WaitForExit(0)) return true;
    {
        DevToolsConnection connection;
        if (connection.Connect(m_endpoint, timeoutMs))
            connection.Call("Browser.close", {}, {}, timeoutMs);
    }
    if (WaitForExit(timeoutMs)) return true;
    if (m_process) TerminateProcess(m_process.get(), 1);
    return Fail("the browser did not close");
}

bool ChromiumProcess::HasEnded() const {
    return m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0;
}

bool ChromiumProcess::Fail(std::string error) {
    m_error = std::move(error);
    return false;
}

}  // namespace cefimpl::chromium
