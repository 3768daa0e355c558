// CHotKeyCtrl: the system hot-key field (msctls_hotkey32). Its value is one
// word: the virtual key in the low byte, HOTKEYF_* modifier flags above it.
#pragma once

#include "afx/Wnd.h"

class CHotKeyCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Routes the dialog's control through this object, as data exchange does.
    BOOL Bind(HWND dialog, int controlId);

    DWORD GetHotKey() const;
    void GetHotKey(WORD& virtualKey, WORD& modifiers) const;
    void SetHotKey(WORD virtualKey, WORD modifiers);
};
