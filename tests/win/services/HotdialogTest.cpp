// The boss-key dialog as the client ships it, driven from a helper thread
// while its modal loop runs here.
#include "services/Hotdialog.h"

#include "res/resource.h"

#include "services/File.h"
#include "services/Hotkey.h"

#include "ServicesTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
LRESULT FieldValue(HWND dialog) {
    return SendMessageW(GetDlgItem(dialog, IDC_HOTKEY), HKM_GETHOTKEY, 0, 0);
}

void SetField(HWND dialog, WORD value) {
    SendMessageW(GetDlgItem(dialog, IDC_HOTKEY), HKM_SETHOTKEY, value, 0);
}

// Runs the dialog modally while `drive` works it from another thread.
INT_PTR RunDialog(const std::function<void(HWND)>& drive) {
    std::thread driver([&drive] {
        HWND dialog = WaitForDialog(true);
        if (dialog) drive(dialog);
    });
    Hotdialog dialog;
    INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
}

void SaveLine(const wchar_t* line) { File().WriteLine(L"C:\\log\\", L"\\hot.txt", line); }
}  // namespace

TEST_F(BossKeyTest, DialogShowsOnlyASavedKeyWithOneModifier) {
    struct Case {
        const wchar_t* line;  // null: no file
        LRESULT field;
    };
    const Case cases[] = {
        {L"1626", 0},       // Ctrl+Alt+Z: two modifiers
        {L"602", 0x025A},   // Ctrl+Z
        {L"346", 0x015A},   // Shift+Z
        {L"1114", 0x045A},  // Alt+Z
        {L"90", 0},        {nullptr, 0},
    };
    for (const Case& c : cases) {
        LogFolderState::RemoveHotFile();
        if (c.line) SaveLine(c.line);
        LRESULT shown = -1;
        INT_PTR result = RunDialog([&shown](HWND dialog) {
            shown = FieldValue(dialog);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(shown, c.field) << (c.line ? "" : "no file");
    }
}

TEST_F(BossKeyTest, DialogRefusesAKeyWithoutModifiersAndStaysOpen) {
    SaveLine(L"602");
    std::wstring message;
    bool stayedOpen = false;
    INT_PTR result = RunDialog([&](HWND dialog) {
        SetField(dialog, 'Z');
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        HWND box = WaitForDialog(false);
        if (!box) return;
        message = MessageBoxText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        while (IsWindow(box)) Sleep(10);
        stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(message, L"至少使用 ctrl、shift、alt 其中之一的键 ");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "602\r\n");
    EXPECT_FALSE(UnregisterHotKey(m_main.get(), bossKeyId));
}

TEST_F(BossKeyTest, DialogOkWithAModifierAppliesAndCloses) {
    Hotkey().Apply(1626);
    MessageBoxAnswerer boxes;
    INT_PTR result = RunDialog([](HWND dialog) {
        SetField(dialog, 0x045A);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "1114\r\n");
    EXPECT_FALSE(CombinationIsFree(MOD_ALT, 'Z'));
    EXPECT_TRUE(CombinationIsFree(MOD_CONTROL | MOD_ALT, 'Z'));
}

TEST_F(BossKeyTest, DialogCancelChangesNothing) {
    Hotkey().Apply(1626);
    INT_PTR result = RunDialog([](HWND dialog) {
        SetField(dialog, 0x045A);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "1626\r\n");
    EXPECT_FALSE(CombinationIsFree(MOD_CONTROL | MOD_ALT, 'Z'));
}
