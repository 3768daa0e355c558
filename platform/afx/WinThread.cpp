#include "afx/Afx.h"

#include <process.h>

CRuntimeClass CWinThread::classCWinThread = {"CWinThread", sizeof(CWinThread), nullptr, nullptr};

CRuntimeClass* CWinThread::GetRuntimeClass() const { return RUNTIME_CLASS(CWinThread); }

CWinThread::~CWinThread() {
    if (m_hThread) CloseHandle(m_hThread);
}

int CWinThread::ExitInstance() { return m_exitCode; }

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
    if (!msg->hwnd) {
        const AfxMessageEntry* entry = FindMessageEntry(msg->message, 0, 0);
        if (entry && entry->onMessage) {
            (this->*entry->onMessage)(msg->wParam, msg->lParam);
            return TRUE;
        }
    }
    HWND top = nullptr;
    for (HWND window = msg->hwnd; window; window = ::GetParent(window)) {
        CWnd* object = CWnd::FromHandlePermanent(window);
        if (object && object->PreTranslateMessage(msg)) return TRUE;
        top = window;
        if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) break;
    }
    // Modeless windows of their own still get the main window's accelerators.
    CWnd* main = CWnd::FromHandlePermanent(m_hMainWnd);
    if (main && top != m_hMainWnd && main->PreTranslateMessage(msg)) return TRUE;
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG count) {
    // Temporary window objects live until the thread has nothing to do.
    if (count == 0) CWnd::DeleteTempMap();
    return count == 0;
}

BOOL CWinThread::PumpMessage() {
    BOOL got = GetMessageW(&m_msgCur, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        m_exitCode = got == 0 ? static_cast<int>(m_msgCur.wParam) : -1;
        return FALSE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        TranslateMessage(&m_msgCur);
        DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

int CWinThread::Run() {
    LONG idleCount = 0;
    for (;;) {
        MSG peek;
        while (!PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) break;
        }
        // The queue has a message, or idle work is done: block until one comes.
        do {
            if (!PumpMessage()) return ExitInstance();
            idleCount = 0;
        } while (PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void CWinThread::Delete() {
    if (m_bAutoDelete) delete this;
}

// ---- Starting a worker thread ------------------------------------------------

namespace {
// Lives on the creator's stack until the new thread has read it and
// signalled `queueReady`.
struct ThreadStartup {
    CWinThread* thread;
    HANDLE queueReady;  // owned by the creator
    HANDLE mayRun;      // owned by the new thread once it signals queueReady
};
}  // namespace

unsigned __stdcall AfxThreadEntry(void* param) {
    auto* startup = static_cast<ThreadStartup*>(param);
    CWinThread* thread = startup->thread;
    HANDLE mayRun = startup->mayRun;
    // A thread has no message queue until it first asks for a message; make
    // one now so that nothing posted after the creator resumes us is lost.
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(startup->queueReady);
    // The creator suspends us here when the caller asked for a suspended
    // thread; InitInstance runs only after ResumeThread.
    WaitForSingleObject(mayRun, INFINITE);
    CloseHandle(mayRun);
    return static_cast<unsigned>(thread->RunThread());
}

int CWinThread::RunThread() {
    const int exitCode = InitInstance() ? Run() : ExitInstance();
    Delete();
    CWnd::DeleteThreadMaps();
    return exitCode;
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize, LPSECURITY_ATTRIBUTES security) {
    if (m_hThread) return FALSE;
    ThreadStartup startup = {this, CreateEventW(nullptr, TRUE, FALSE, nullptr),
                             CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    if (!startup.queueReady || !startup.mayRun) {
        if (startup.queueReady) CloseHandle(startup.queueReady);
        if (startup.mayRun) CloseHandle(startup.mayRun);
        return FALSE;
    }
    unsigned threadId = 0;
    const uintptr_t handle =
        _beginthreadex(security, stackSize, &AfxThreadEntry, &startup, CREATE_SUSPENDED, &threadId);
    if (!handle) {
        CloseHandle(startup.queueReady);
        CloseHandle(startup.mayRun);
        return FALSE;
    }
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_nThreadID = threadId;
    ::ResumeThread(m_hThread);
    WaitForSingleObject(startup.queueReady, INFINITE);
    CloseHandle(startup.queueReady);
    if (createFlags & CREATE_SUSPENDED) ::SuspendThread(m_hThread);
    // From here on the new thread owns the event and `startup` may go.
    SetEvent(startup.mayRun);
    return TRUE;
}

CWinThread* AfxBeginThread(CRuntimeClass* threadClass, int priority, UINT stackSize,
                           DWORD createFlags, LPSECURITY_ATTRIBUTES security) {
    if (!threadClass || !threadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread))) return nullptr;
    auto* thread = static_cast<CWinThread*>(threadClass->CreateObject());
    if (!thread) return nullptr;
    if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize, security)) {
        delete thread;
        return nullptr;
    }
    thread->SetThreadPriority(priority);
    if (!(createFlags & CREATE_SUSPENDED)) thread->ResumeThread();
    return thread;
}
