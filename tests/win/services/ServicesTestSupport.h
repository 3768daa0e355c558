// What the services tests share: the log folder of the shared Wine prefix
// put back as it was found, message boxes answered from another thread, and
// a stand-in main window.
#pragma once

#include "afx/Afx.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern const wchar_t kLogFolder[];
extern const wchar_t kHotFile[];

// The raw bytes of a file, or nullopt-like empty with `exists` false.
struct DiskFile {
    bool exists = false;
    std::string bytes;
};
DiskFile ReadDisk(const wchar_t* path);
void WriteDisk(const wchar_t* path, const std::string& bytes);

// Saves C:\log\hot.txt, removes it for the test and puts the folder and the
// file back as they were afterwards.
class LogFolderState {
public:
    LogFolderState();
    ~LogFolderState();
    LogFolderState(const LogFolderState&) = delete;
    LogFolderState& operator=(const LogFolderState&) = delete;

    // Removes C:\log for the test; false when it holds files of others.
    bool RemoveFolder();
    static void RemoveHotFile();

private:
    bool m_hadFolder;
    DiskFile m_saved;
};

// Answers every message box of this process with OK while it lives and
// notes their texts. The boss-key dialog is left alone.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    std::vector<std::wstring> Texts();

private:
    void Watch();

    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<std::wstring> m_texts;
    std::thread m_thread;
};

// A visible dialog of this process: the boss-key dialog (with the hot-key
// field 1019) or a message box (without it); null after five seconds.
HWND WaitForDialog(bool bossKeyDialog);
std::wstring MessageBoxText(HWND box);

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer<HWND>::type, WindowDestroyer>;
UniqueWindow MakeTopLevelWindow(const wchar_t* title);

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueFile = std::unique_ptr<void, HandleCloser>;

// Whether another window can take the combination now: false while the
// boss key holds it.
bool CombinationIsFree(UINT modifiers, UINT virtualKey);

// The application with a hidden stand-in main window, a clean log folder and
// the boss key released afterwards.
class BossKeyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CWinApp m_app{L"Plover2"};
    LogFolderState m_state;
    UniqueWindow m_main;
};
