// The framework's message pump and message box, on the test's own thread.
#include "afx/Afx.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {
constexpr UINT kWake = WM_APP + 5;

// Records what the pump does; on the given idle call it posts kWake, and
// kWake ends the loop with exit code 7.
class RecordingThread : public CWinThread {
public:
    RecordingThread(int wakeOnCall, bool idleForever)
        : m_wakeOnCall(wakeOnCall), m_idleForever(idleForever) {}

    BOOL OnIdle(LONG count) override {
        counts.push_back(count);
        if (static_cast<int>(counts.size()) == m_wakeOnCall) {
            PostThreadMessageW(GetCurrentThreadId(), kWake, 0, 0);
        }
        return m_idleForever || static_cast<int>(counts.size()) < m_wakeOnCall;
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == kWake) PostQuitMessage(7);
        return TRUE;
    }

    std::vector<LONG> counts;

private:
    int m_wakeOnCall;
    bool m_idleForever;
};

void DrainQueue() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}
}  // namespace

TEST(AfxMessageLoop, IdleRunsWhileItReportsWorkThenTheLoopWaitsForMessages) {
    DrainQueue();
    RecordingThread thread(3, false);
    EXPECT_EQ(thread.Run(), 7);
    // Idle counts grow while idle work continues; the message that ends the
    // loop only arrives after the third call said there was no more.
    ASSERT_GE(thread.counts.size(), 3u);
    EXPECT_EQ(thread.counts[0], 0);
    EXPECT_EQ(thread.counts[1], 1);
    EXPECT_EQ(thread.counts[2], 2);
}

TEST(AfxMessageLoop, MessagesAreHandledEvenWhileIdleWorkNeverEnds) {
    DrainQueue();
    RecordingThread thread(5, true);
    EXPECT_EQ(thread.Run(), 7);
    EXPECT_GE(thread.counts.size(), 5u);
}

namespace {
struct SeenBox {
    std::wstring caption;
    std::wstring text;
};

// Waits for this process's next message box, notes its caption and text and
// presses OK on it.
std::thread AnswerNextMessageBox(SeenBox* seen) {
    DWORD process = GetCurrentProcessId();
    return std::thread([seen, process] {
        for (int tries = 0; tries < 500; ++tries) {
            HWND box = nullptr;
            while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr))) {
                DWORD owner = 0;
                GetWindowThreadProcessId(box, &owner);
                if (owner != process || !IsWindowVisible(box)) continue;
                wchar_t buffer[256] = {};
                GetWindowTextW(box, buffer, 256);
                seen->caption = buffer;
                GetDlgItemTextW(box, 0xFFFF, buffer, 256);
                seen->text = buffer;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
}
}  // namespace

TEST(AfxMessageBox, UsesTheApplicationTitleAsCaption) {
    CWinApp app(L"Plover2");
    SeenBox seen;
    std::thread answer = AnswerNextMessageBox(&seen);
    EXPECT_EQ(AfxMessageBox(L"网络连接失败"), IDOK);
    answer.join();
    EXPECT_EQ(seen.caption, L"Plover2");
    EXPECT_EQ(seen.text, L"网络连接失败");
}

TEST(AfxMessageBox, StringIdShowsTheResourceText) {
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    CWinApp app(L"Plover2");
    SeenBox seen;
    std::thread answer = AnswerNextMessageBox(&seen);
    EXPECT_EQ(AfxMessageBox(104), IDOK);
    answer.join();
    EXPECT_EQ(seen.text, L"网络连接失败");
}
