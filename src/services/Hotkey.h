// The boss key: a system-wide hot key registered for the main window that
// hides and shows it. Its value is saved in the log folder and registered
// again at the next start.
#pragma once

#include "afx/Afx.h"

// Where the boss key is saved; directory and name together name the file.
extern const wchar_t kBossKeyDirectory[];
extern const wchar_t kBossKeyName[];
extern const wchar_t kBossKeyPath[];

// The hot key's id: the global atom "hotkey" less 0xC000, taken at start-up.
extern int bossKeyId;
// True while the boss key has hidden the main window.
extern bool bossHidden;

class Hotkey {
public:
    virtual ~Hotkey() = default;

    // Replaces the registration with `value` and saves it. A value without
    // Alt, Ctrl or Shift only releases the old key. 0 when there is no id.
    int Apply(WORD value);
    // Hides or shows the main window, nothing else.
    void Toggle();
    // Registers the saved key, if any; the application's message filter
    // calls it once, on the first message it sees.
    void Restore();
};
