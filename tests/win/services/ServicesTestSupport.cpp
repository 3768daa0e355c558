#include "ServicesTestSupport.h"

#include "res/resource.h"
#include "services/Hotkey.h"

#include <shlwapi.h>

#include <fstream>
#include <iterator>

const wchar_t kLogFolder[] = L"C:\\log";
const wchar_t kHotFile[] = L"C:\\log\\hot.txt";

DiskFile ReadDisk(const wchar_t* path) {
    DiskFile file;
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return file;
    std::ifstream in(path, std::ios::binary);
    file.exists = in.is_open();
    file.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return file;
}

void WriteDisk(const wchar_t* path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

LogFolderState::LogFolderState() : m_hadFolder(PathIsDirectoryW(kLogFolder) != FALSE) {
    m_saved = ReadDisk(kHotFile);
    RemoveHotFile();
}

LogFolderState::~LogFolderState() {
    RemoveHotFile();
    DWORD attributes = GetFileAttributesW(kLogFolder);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(kLogFolder);
    }
    if (m_hadFolder || m_saved.exists) CreateDirectoryW(kLogFolder, nullptr);
    if (m_saved.exists) WriteDisk(kHotFile, m_saved.bytes);
    if (!m_hadFolder) RemoveDirectoryW(kLogFolder);
}

void LogFolderState::RemoveHotFile() {
    DWORD attributes = GetFileAttributesW(kHotFile);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(kHotFile);
    } else {
        SetFileAttributesW(kHotFile, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(kHotFile);
    }
}

bool LogFolderState::RemoveFolder() {
    RemoveHotFile();
    if (!PathIsDirectoryW(kLogFolder)) return true;
    return RemoveDirectoryW(kLogFolder) != FALSE;
}

// ---- Message boxes -----------------------------------------------------------

namespace {
bool IsOwnVisibleDialog(HWND window, bool bossKeyDialog) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return false;
    return (GetDlgItem(window, IDC_HOTKEY) != nullptr) == bossKeyDialog;
}

HWND FindDialog(bool bossKeyDialog) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr))) {
        if (IsOwnVisibleDialog(window, bossKeyDialog)) return window;
    }
    return nullptr;
}
}  // namespace

HWND WaitForDialog(bool bossKeyDialog) {
    for (int tries = 0; tries < 500; ++tries) {
        if (HWND found = FindDialog(bossKeyDialog)) return found;
        Sleep(10);
    }
    return nullptr;
}

std::wstring MessageBoxText(HWND box) {
    wchar_t buffer[512] = {};
    GetDlgItemTextW(box, 0xFFFF, buffer, 512);
    return buffer;
}

MessageBoxAnswerer::MessageBoxAnswerer() : m_thread([this] { Watch(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

void MessageBoxAnswerer::Watch() {
    HWND answered = nullptr;
    while (!m_stop) {
        HWND box = FindDialog(false);
        if (box && box != answered) {
            std::lock_guard<std::mutex> hold(m_lock);
            m_texts.push_back(MessageBoxText(box));
            answered = box;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        Sleep(10);
    }
}

std::vector<std::wstring> MessageBoxAnswerer::Texts() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_texts;
}

// ---- Windows and hot keys --------------------------------------------------

UniqueWindow MakeTopLevelWindow(const wchar_t* title) {
    return UniqueWindow(CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, 200, 100, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr));
}

bool CombinationIsFree(UINT modifiers, UINT virtualKey) {
    UniqueWindow probe = MakeTopLevelWindow(L"probe");
    constexpr int kProbeId = 0x3FFE;
    if (!RegisterHotKey(probe.get(), kProbeId, modifiers, virtualKey)) return false;
    UnregisterHotKey(probe.get(), kProbeId);
    return true;
}

void BossKeyTest::SetUp() {
    m_main = MakeTopLevelWindow(L"main");
    ASSERT_TRUE(m_main);
    m_app.m_hMainWnd = m_main.get();
    bossHidden = false;
}

void BossKeyTest::TearDown() {
    UnregisterHotKey(m_main.get(), bossKeyId);
    m_app.m_hMainWnd = nullptr;
    bossHidden = false;
}
