// One of the engine's named threads: a Win32 message loop that runs posted
// tasks. Tasks travel through a message-only window, so they also run while
// the thread sits in a modal loop (a menu, a message box, a window drag).
#pragma once

#include "cef/CefTask.h"
#include "cef/backend/UniqueHandle.h"

#include <atomic>
#include <deque>
#include <map>
#include <mutex>

namespace cefimpl {

class EngineThread {
public:
    explicit EngineThread(const char* name) : m_name(name) {}
    ~EngineThread() { Stop(); }
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // Runs the loop on a new thread; returns once the loop accepts tasks.
    bool Start();
    // Makes the calling thread this engine thread: tasks are accepted from
    // here on, and run once it calls RunLoop() (until Quit()).
    bool AttachToCurrentThread();
    void RunLoop();
    // False when the loop does not run (not yet, or any more).
    bool Post(CefRefPtr<CefTask> task, long long delayMs = 0);
    bool IsCurrent() const { return m_threadId != 0 && GetCurrentThreadId() == m_threadId; }
    // Ends the loop; tasks not yet run are dropped. Any thread.
    void Quit();
    // Quit(), then waits for the thread (answering sent messages meanwhile).
    void Stop();
    const char* Name() const { return m_name; }

private:
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool OpenTaskWindow();
    void Loop();
    void CloseTaskWindow();
    void RunReadyTasks();
    void RescheduleTimer();

    const char* const m_name;
    std::atomic<DWORD> m_threadId{0};
    UniqueHandle m_thread;
    UniqueHandle m_started;

    std::mutex m_mutex;
    HWND m_window = nullptr;
    bool m_accepting = false;
    std::deque<CefRefPtr<CefTask>> m_ready;
    std::multimap<ULONGLONG, CefRefPtr<CefTask>> m_delayed;
};

}  // namespace cefimpl
