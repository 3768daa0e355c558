#include "services/Hotkey.h"

#include "afx/WideText.h"
#include "services/BossKeyValue.h"
#include "services/File.h"

const wchar_t kBossKeyDirectory[] = L"C:\\log\\";
const wchar_t kBossKeyName[] = L"\\hot.txt";
const wchar_t kBossKeyPath[] = L"C:\\log\\hot.txt";

// Global atoms lie in 0xC000-0xFFFF; a failed call gives a negative id, which
// Apply refuses.
int bossKeyId = static_cast<int>(GlobalAddAtomA("hotkey")) - 0xC000;
bool bossHidden = false;

namespace {
HWND MainWindow() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_hMainWnd : nullptr;
}
}  // namespace

int Hotkey::Apply(WORD value) {
    HWND main = MainWindow();
    UnregisterHotKey(main, bossKeyId);
    if (!BossKeyValue::HasModifiers(value)) return 1;
    if (bossKeyId < 1) return 0;
    // A combination taken by another program fails here; it is saved anyway.
    RegisterHotKey(main, bossKeyId, BossKeyValue::RegistrationModifiers(value),
                   BossKeyValue::VirtualKey(value));
    CString text;
    text.Format(L"%d", static_cast<int>(value));
    File().WriteLine(kBossKeyDirectory, kBossKeyName, text);
    return 1;
}

void Hotkey::Toggle() {
    HWND main = MainWindow();
    if (bossHidden) {
        ::ShowWindow(main, SW_SHOW);
        bossHidden = false;
    } else {
        ::ShowWindow(main, SW_HIDE);
        bossHidden = true;
    }
}

void Hotkey::Restore() {
    CString line = File().ReadFirstLine(kBossKeyPath);
    if (line.IsEmpty()) return;
    Apply(BossKeyValue::ParseSavedLine(ToU16(line.Str())));
}
