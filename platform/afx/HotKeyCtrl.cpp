#include "afx/HotKeyCtrl.h"

#include <commctrl.h>

BOOL CHotKeyCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(HOTKEY_CLASSW, L"", style, rect, parent, id);
}

BOOL CHotKeyCtrl::Bind(HWND dialog, int controlId) {
    HWND control = ::GetDlgItem(dialog, controlId);
    if (!control) return FALSE;
    if (m_hWnd == control) return TRUE;
    return SubclassWindow(control);
}

DWORD CHotKeyCtrl::GetHotKey() const { return LOWORD(::SendMessageW(m_hWnd, HKM_GETHOTKEY, 0, 0)); }

void CHotKeyCtrl::GetHotKey(WORD& virtualKey, WORD& modifiers) const {
    DWORD value = GetHotKey();
    virtualKey = LOBYTE(value);
    modifiers = HIBYTE(value);
}

void CHotKeyCtrl::SetHotKey(WORD virtualKey, WORD modifiers) {
    ::SendMessageW(m_hWnd, HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers), 0);
}
