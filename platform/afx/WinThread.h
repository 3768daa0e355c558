// CWinThread: a thread with the framework's message pump. The pump runs idle
// processing while the queue is empty and the thread reports more idle work,
// then blocks in the queue.
#pragma once

#include "afx/CmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance();
    virtual int Run();
    // Offers the message to the windows it is meant for, innermost first,
    // then to the main window.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnIdle(LONG count);
    // Dispatches one message; false once WM_QUIT arrived.
    virtual BOOL PumpMessage();

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    HWND m_hMainWnd = nullptr;

protected:
    MSG m_msgCur = {};
    int m_exitCode = 0;
};
