#include "afx/Afx.h"

int CWinThread::ExitInstance() { return m_exitCode; }

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
    // Keyboard accelerators and dialog navigation of the frame the message
    // belongs to are added by the window classes that own them.
    (void)msg;
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG count) {
    (void)count;
    return FALSE;
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
