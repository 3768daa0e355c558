#include "afx/Afx.h"

int CWinThread::ExitInstance() { return m_exitCode; }

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
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
