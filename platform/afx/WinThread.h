// CWinThread: a thread with the framework's message pump. The pump runs idle
// processing while the queue is empty and the thread reports more idle work,
// then blocks in the queue. The application's own thread is one; worker
// threads are started from their runtime class with AfxBeginThread.
#pragma once

#include "afx/CmdTarget.h"
#include "afx/RuntimeClass.h"

class CWnd;

class CWinThread : public CCmdTarget {
public:
    static CRuntimeClass classCWinThread;
    virtual CRuntimeClass* GetRuntimeClass() const;

    CWinThread() = default;
    // Closes the thread handle; the thread itself is not stopped.
    ~CWinThread() override;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance();
    virtual int Run();
    // Dispatches thread messages (no window) through the message map, then
    // offers the message to the windows it is meant for, innermost first,
    // and last to the main window.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // More idle work only on the first call after a message.
    virtual BOOL OnIdle(LONG count);
    // Dispatches one message; false once WM_QUIT arrived.
    virtual BOOL PumpMessage();
    // Called when the thread has ended: deletes the object unless
    // m_bAutoDelete was cleared.
    virtual void Delete();

    // Starts the thread, suspended when `createFlags` holds CREATE_SUSPENDED.
    // Returns once the new thread's message queue exists, so messages posted
    // to it from then on are kept.
    BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0,
                      LPSECURITY_ATTRIBUTES security = nullptr);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    BOOL SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    HWND m_hMainWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;

    // Adapts a thread-message handler, void Handler(WPARAM, LPARAM), to the
    // message map's handler type.
    template <class Thread, void (Thread::*Handler)(WPARAM, LPARAM)>
    LRESULT CallThreadMessageHandler(WPARAM wParam, LPARAM lParam) {
        (static_cast<Thread*>(this)->*Handler)(wParam, lParam);
        return 0;
    }

protected:
    MSG m_msgCur = {};
    int m_exitCode = 0;

private:
    // Runs on the new thread: InitInstance, Run (or ExitInstance when
    // InitInstance failed), then Delete.
    int RunThread();
    friend unsigned __stdcall AfxThreadEntry(void* startup);
};

// A message posted to the thread itself: void Handler(WPARAM, LPARAM), in the
// message map of a CWinThread-derived class.
#define ON_THREAD_MESSAGE(message, handler)                                      \
    {message, 0, 0,                                                              \
     static_cast<AfxMsgHandler>(                                                 \
         &CWinThread::CallThreadMessageHandler<ThisClass, &ThisClass::handler>), \
     nullptr},

// Creates an object of `threadClass` (a CWinThread-derived class declared
// with DECLARE_DYNCREATE) and starts its thread. With CREATE_SUSPENDED the
// thread waits for ResumeThread before InitInstance; either way its queue
// exists when this returns. Null when the class is not a thread class or the
// thread cannot start. The object deletes itself when the thread ends.
CWinThread* AfxBeginThread(CRuntimeClass* threadClass, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);
