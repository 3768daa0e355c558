// Prints the top-level windows of a process, and their children, one JSON
// object a line, so the end-to-end tests can read what a player would see:
// classes, titles, rectangles, styles, visibility, owners and child ids.
//   WinProbe.exe [exe name]   windows of processes with that image name
//                               (all windows without one)
//   WinProbe.exe procs        processes: pid, parent pid, image name
//   WinProbe.exe post <hwnd> <message> <wParam> <lParam>
//                               posts a message, as the taskbar or the system would
//   WinProbe.exe send <hwnd> <message> <wParam> <lParam>
//                               sends a message and prints its result (messages
//                               without pointers only)
//   WinProbe.exe move <hwnd> <x> <y> <width> <height>
//                               places a window, as a player dragging it would end up
//   WinProbe.exe hold <seconds> <x> <y>
//                               shows a small window of its own for that long, so
//                               the keyboard focus can rest on a Wine window that
//                               is not the client's
//   WinProbe.exe link <file name>
//                               reads the shell link of that name on the desktop:
//                               target, working directory, description, show command
#include <windows.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string Utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    return out;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::wstring ImageName(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return L"";
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    std::wstring name;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == pid) {
            name = entry.szExeFile;
            break;
        }
    }
    CloseHandle(snapshot);
    size_t slash = name.find_last_of(L"\\/");
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

void PrintProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        std::printf("{\"pid\": %lu, \"parent\": %lu, \"exe\": %s}\n", entry.th32ProcessID,
                    entry.th32ParentProcessID, Quoted(Utf8(entry.szExeFile)).c_str());
    }
    CloseHandle(snapshot);
}

void Print(HWND window, HWND parent) {
    wchar_t className[256] = {}, title[512] = {};
    GetClassNameW(window, className, 256);
    GetWindowTextW(window, title, 512);
    RECT rect = {}, client = {};
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    DWORD pid = 0;
    DWORD thread = GetWindowThreadProcessId(window, &pid);
    std::printf(
        "{\"hwnd\": %llu, \"parent\": %llu, \"owner\": %llu, \"pid\": %lu, \"thread\": %lu, "
        "\"class\": %s, \"title\": %s, \"x\": %ld, \"y\": %ld, \"width\": %ld, \"height\": %ld, "
        "\"client_x\": %ld, \"client_y\": %ld, \"client_width\": %ld, \"client_height\": %ld, "
        "\"style\": %lu, \"exstyle\": %lu, \"visible\": %s, \"iconic\": %s, \"zoomed\": %s, "
        "\"enabled\": %s, \"id\": %d}\n",
        (unsigned long long)(UINT_PTR)window, (unsigned long long)(UINT_PTR)parent,
        (unsigned long long)(UINT_PTR)GetWindow(window, GW_OWNER), pid, thread,
        Quoted(Utf8(className)).c_str(), Quoted(Utf8(title)).c_str(), rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, origin.x, origin.y, client.right,
        client.bottom, (unsigned long)GetWindowLongW(window, GWL_STYLE),
        (unsigned long)GetWindowLongW(window, GWL_EXSTYLE),
        IsWindowVisible(window) ? "true" : "false", IsIconic(window) ? "true" : "false",
        IsZoomed(window) ? "true" : "false", IsWindowEnabled(window) ? "true" : "false",
        parent ? GetDlgCtrlID(window) : 0);
}

struct Filter {
    std::wstring exe;
};

BOOL CALLBACK EachChild(HWND window, LPARAM lParam) {
    HWND parent = reinterpret_cast<HWND>(lParam);
    // EnumChildWindows walks every descendant; print each with its direct parent.
    (void)parent;
    Print(window, GetParent(window));
    return TRUE;
}

BOOL CALLBACK EachTopLevel(HWND window, LPARAM lParam) {
    const Filter* filter = reinterpret_cast<const Filter*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (!filter->exe.empty() && _wcsicmp(ImageName(pid).c_str(), filter->exe.c_str()) != 0) {
        return TRUE;
    }
    Print(window, nullptr);
    EnumChildWindows(window, EachChild, reinterpret_cast<LPARAM>(window));
    return TRUE;
}
LRESULT CALLBACK HolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER || message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Hold(int seconds, int x, int y) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HolderProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    windowClass.lpszClassName = L"ProbeHolder";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST, L"ProbeHolder", L"probe holder", WS_POPUP | WS_VISIBLE, x, y,
                        120, 60, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    std::printf("%llu\n", (unsigned long long)(UINT_PTR)window);
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
// One JSON line for the desktop's link `name`; {"found": false} when it
// cannot be read.
int PrintDesktopLink(const wchar_t* name) {
    CoInitialize(nullptr);
    wchar_t desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    const std::wstring path = std::wstring(desktop) + L"\\" + name;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = {}, directory[MAX_PATH] = {}, description[1024] = {};
    int show = 0;
    bool found =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ));
    if (found) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(directory, MAX_PATH);
        link->GetDescription(description, 1024);
        link->GetShowCmd(&show);
    }
    if (file) file->Release();
    if (link) link->Release();
    std::printf(
        "{\"found\": %s, \"path\": %s, \"target\": %s, \"directory\": %s, "
        "\"description\": %s, \"show\": %d}\n",
        found ? "true" : "false", Quoted(Utf8(path.c_str())).c_str(), Quoted(Utf8(target)).c_str(),
        Quoted(Utf8(directory)).c_str(), Quoted(Utf8(description)).c_str(), show);
    std::fflush(stdout);
    return found ? 0 : 1;
}
}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 6 && std::wstring(argv[1]) == L"post") {
        auto number = [](const wchar_t* text) { return std::wcstoull(text, nullptr, 0); };
        HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number(argv[2])));
        BOOL posted = PostMessageW(window, static_cast<UINT>(number(argv[3])),
                                   static_cast<WPARAM>(number(argv[4])),
                                   static_cast<LPARAM>(number(argv[5])));
        return posted ? 0 : 1;
    }
    if (argc == 7 && std::wstring(argv[1]) == L"move") {
        auto number = [](const wchar_t* text) {
            return static_cast<int>(std::wcstol(text, nullptr, 0));
        };
        HWND window =
            reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(argv[2], nullptr, 0)));
        BOOL moved = SetWindowPos(window, nullptr, number(argv[3]), number(argv[4]),
                                  number(argv[5]), number(argv[6]), SWP_NOZORDER | SWP_NOACTIVATE);
        return moved ? 0 : 1;
    }
    if (argc == 5 && std::wstring(argv[1]) == L"hold") {
        return Hold(std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10),
                    std::wcstol(argv[4], nullptr, 10));
    }
    if (argc == 6 && std::wstring(argv[1]) == L"send") {
        auto number = [](const wchar_t* text) { return std::wcstoull(text, nullptr, 0); };
        HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number(argv[2])));
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(
                window, static_cast<UINT>(number(argv[3])), static_cast<WPARAM>(number(argv[4])),
                static_cast<LPARAM>(number(argv[5])), SMTO_ABORTIFHUNG, 5000, &result)) {
            return 1;
        }
        std::printf("%llu\n", (unsigned long long)result);
        return 0;
    }
    if (argc == 3 && std::wstring(argv[1]) == L"link") return PrintDesktopLink(argv[2]);
    if (argc == 2 && std::wstring(argv[1]) == L"procs") {
        PrintProcesses();
        return 0;
    }
    Filter filter = {argc > 1 ? argv[1] : L""};
    EnumWindows(EachTopLevel, reinterpret_cast<LPARAM>(&filter));
    std::fflush(stdout);
    return 0;
}
