#include "cef/backend/EngineThread.h"

#include "cef/backend/PumpingWait.h"

#include <cstdio>
#include <vector>

namespace cefimpl {
namespace {

const wchar_t kWindowClass[] = L"AshgroveEngineTasks";
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr UINT kQuitMessage = WM_APP + 2;
constexpr UINT_PTR kDelayTimer = 1;
// A thread stuck in a client callback must not hang the caller for ever.
constexpr DWORD kStopTimeoutMs = 15000;

bool RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;  // replaced per window below
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

bool EngineThread::Start() {
    m_started.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_started) return false;
    m_thread.reset(CreateThread(nullptr, 0, &EngineThread::ThreadMain, this, 0, nullptr));
    if (!m_thread) return false;
    HANDLE waits[] = {m_started.get(), m_thread.get()};
    // The thread ending first means it could not open its window.
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_accepting;
}

DWORD WINAPI EngineThread::ThreadMain(void* self) {
    auto* thread = static_cast<EngineThread*>(self);
    bool opened = thread->OpenTaskWindow();
    SetEvent(thread->m_started.get());
    if (opened) thread->Loop();
    return 0;
}

bool EngineThread::AttachToCurrentThread() { return OpenTaskWindow(); }

void EngineThread::RunLoop() { Loop(); }

bool EngineThread::OpenTaskWindow() {
    if (!RegisterWindowClass()) return false;
    m_threadId = GetCurrentThreadId();
    HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) return false;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EngineThread::WindowProc));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_window = window;
    m_accepting = true;
    return true;
}

void EngineThread::Loop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CloseTaskWindow();
}

void EngineThread::CloseTaskWindow() {
    std::deque<CefRefPtr<CefTask>> dropped;
    std::multimap<ULONGLONG, CefRefPtr<CefTask>> droppedDelayed;
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_accepting = false;
        dropped.swap(m_ready);
        droppedDelayed.swap(m_delayed);
        window = m_window;
        m_window = nullptr;
    }
    if (window) DestroyWindow(window);
    // The dropped tasks are released here, on their own thread.
}

LRESULT CALLBACK EngineThread::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* thread = reinterpret_cast<EngineThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case kWakeMessage:
        case WM_TIMER:
            thread->RunReadyTasks();
            return 0;
        case kQuitMessage:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool EngineThread::Post(CefRefPtr<CefTask> task, long long delayMs) {
    if (!task) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_accepting) return false;
    if (delayMs > 0) {
        m_delayed.emplace(GetTickCount64() + static_cast<ULONGLONG>(delayMs), task);
    } else {
        m_ready.push_back(task);
    }
    // Under the lock, so the window cannot go away in between.
    return PostMessageW(m_window, kWakeMessage, 0, 0) != FALSE;
}

void EngineThread::RunReadyTasks() {
    size_t count = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ULONGLONG now = GetTickCount64();
        while (!m_delayed.empty() && m_delayed.begin()->first <= now) {
            m_ready.push_back(m_delayed.begin()->second);
            m_delayed.erase(m_delayed.begin());
        }
        // Only the tasks queued so far: a task that posts itself again must
        // not starve the thread's other messages.
        count = m_ready.size();
    }
    for (size_t i = 0; i < count; ++i) {
        CefRefPtr<CefTask> task;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_ready.empty()) break;
            task = m_ready.front();
            m_ready.pop_front();
        }
        task->Execute();
    }
    RescheduleTimer();
}

void EngineThread::RescheduleTimer() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_window) return;
    if (!m_ready.empty()) PostMessageW(m_window, kWakeMessage, 0, 0);
    if (m_delayed.empty()) {
        KillTimer(m_window, kDelayTimer);
        return;
    }
    ULONGLONG now = GetTickCount64();
    ULONGLONG due = m_delayed.begin()->first;
    UINT wait = due <= now ? USER_TIMER_MINIMUM : static_cast<UINT>(due - now);
    SetTimer(m_window, kDelayTimer, wait, nullptr);
}

void EngineThread::Quit() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_accepting) return;
    m_accepting = false;
    PostMessageW(m_window, kQuitMessage, 0, 0);
}

void EngineThread::Stop() {
    Quit();
    if (!m_thread) return;
    if (!WaitPumpingSentMessages(m_thread.get(), kStopTimeoutMs)) {
        fprintf(stderr, "engine: the %s thread did not stop in time\n", m_name);
        fflush(stderr);
        return;
    }
    m_thread.reset();
}

}  // namespace cefimpl
