// Stands in for the real updater in the demo portal's update package: the
// client starts the downloaded package when the player quits, and the tests
// need to see that it did, and with which command line. So this program only
// appends that command line, as one UTF-8 line, to a file and exits.
//
// The file is the one named by PLOVER_UPDATER_LOG, or updater-started.txt in
// the user's temporary folder. It opens no window.
#include <windows.h>

#include <string>

namespace {

std::wstring LogPath() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableW(L"PLOVER_UPDATER_LOG", buffer, MAX_PATH + 1);
    if (n > 0 && n <= MAX_PATH) return std::wstring(buffer, n);
    if (n > MAX_PATH) {  // longer than a classic path: ask again with room for it
        std::wstring longer(n, L'\0');
        DWORD m = GetEnvironmentVariableW(L"PLOVER_UPDATER_LOG", &longer[0], n);
        if (m > 0 && m < n) return longer.substr(0, m);
    }
    n = GetTempPathW(MAX_PATH + 1, buffer);
    std::wstring path = (n > 0 && n <= MAX_PATH) ? std::wstring(buffer, n) : std::wstring();
    return path + L"updater-started.txt";
}

std::string ToUtf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size - 1));  // without the terminating zero
    return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string line = ToUtf8(GetCommandLineW()) + "\n";
    // Append-only access makes each line one atomic append, so two updaters
    // started close together cannot interleave their records.
    HANDLE file = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 1;
}
