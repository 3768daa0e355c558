// Registering, saving, restoring and toggling the boss key. A combination
// the boss key holds cannot be registered by another window, which is how
// the tests see the registration.
#include "services/File.h"
#include "services/Hotkey.h"

#include "ServicesTestSupport.h"

#include <gtest/gtest.h>

namespace {
constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;

void SaveLine(const wchar_t* line) { File().WriteLine(L"C:\\log\\", L"\\hot.txt", line); }
}  // namespace

TEST_F(BossKeyTest, IdComesFromTheGlobalAtom) {
    ATOM atom = GlobalFindAtomA("hotkey");
    ASSERT_NE(atom, 0);
    EXPECT_EQ(bossKeyId, atom - 0xC000);
    EXPECT_GE(bossKeyId, 1);
    EXPECT_LE(bossKeyId, 0x3FFF);
}

TEST_F(BossKeyTest, ApplyRegistersTheCombinationAndSavesItsNumber) {
    ASSERT_TRUE(CombinationIsFree(kCtrlAlt, 'Z'));
    EXPECT_EQ(Hotkey().Apply(1626), 1);
    EXPECT_FALSE(CombinationIsFree(kCtrlAlt, 'Z'));
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "1626\r\n");
}

TEST_F(BossKeyTest, ApplyPassesEachModifierAndDropsTheExtendedFlag) {
    struct Case {
        WORD value;
        UINT modifiers;
        UINT key;
    };
    const Case cases[] = {
        {0x015A, MOD_SHIFT, 'Z'},
        {0x025A, MOD_CONTROL, 'Z'},
        {0x045A, MOD_ALT, 'Z'},
        {0x0F2D, MOD_SHIFT | MOD_CONTROL | MOD_ALT, VK_INSERT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hotkey().Apply(c.value), 1);
        EXPECT_FALSE(CombinationIsFree(c.modifiers, c.key)) << std::hex << c.value;
        EXPECT_EQ(ReadDisk(kHotFile).bytes, std::to_string(c.value) + "\r\n");
    }
}

TEST_F(BossKeyTest, NewKeyReleasesTheOldOne) {
    Hotkey().Apply(1626);
    Hotkey().Apply(602);
    EXPECT_TRUE(CombinationIsFree(kCtrlAlt, 'Z'));
    EXPECT_FALSE(CombinationIsFree(MOD_CONTROL, 'Z'));
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "602\r\n");
}

TEST_F(BossKeyTest, KeyWithoutModifiersOnlyReleasesAndLeavesTheFileAlone) {
    Hotkey().Apply(1626);
    EXPECT_EQ(Hotkey().Apply(90), 1);
    EXPECT_TRUE(CombinationIsFree(kCtrlAlt, 'Z'));
    EXPECT_FALSE(UnregisterHotKey(m_main.get(), bossKeyId));
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "1626\r\n");
}

TEST_F(BossKeyTest, WithoutAnIdNothingIsRegisteredOrSaved) {
    const int saved = bossKeyId;
    bossKeyId = 0;
    EXPECT_EQ(Hotkey().Apply(1626), 0);
    bossKeyId = saved;
    EXPECT_TRUE(CombinationIsFree(kCtrlAlt, 'Z'));
    EXPECT_FALSE(ReadDisk(kHotFile).exists);
}

TEST_F(BossKeyTest, RestoreRegistersTheSavedKeyAndWritesTheSameLine) {
    struct Case {
        const wchar_t* line;  // null: no file
        UINT modifiers;       // 0: nothing registered
        const char* disk;     // null: no file afterwards
    };
    const Case cases[] = {
        {L"1626", kCtrlAlt, "1626\r\n"},
        {L"602", MOD_CONTROL, "602\r\n"},
        {L"90", 0, "90\r\n"},
        {L"hot", 0, "hot\r\n"},
        {nullptr, 0, nullptr},
    };
    for (const Case& c : cases) {
        LogFolderState::RemoveHotFile();
        if (c.line) SaveLine(c.line);
        Hotkey().Restore();
        const char* shown = c.disk ? c.disk : "none";
        if (c.modifiers) {
            EXPECT_FALSE(CombinationIsFree(c.modifiers, 'Z')) << shown;
        } else {
            EXPECT_FALSE(UnregisterHotKey(m_main.get(), bossKeyId)) << shown;
        }
        DiskFile disk = ReadDisk(kHotFile);
        EXPECT_EQ(disk.exists, c.disk != nullptr) << shown;
        if (c.disk) {
            EXPECT_EQ(disk.bytes, c.disk);
        }
        UnregisterHotKey(m_main.get(), bossKeyId);
    }
}

TEST_F(BossKeyTest, SaveFailureKeepsTheRegistrationForThisRun) {
    if (!m_state.RemoveFolder()) GTEST_SKIP() << "C:\\log holds files of others";
    WriteDisk(kLogFolder, "in the way");
    MessageBoxAnswerer boxes;
    EXPECT_EQ(Hotkey().Apply(1626), 1);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"日志文件夹创建失败"});
    EXPECT_FALSE(CombinationIsFree(kCtrlAlt, 'Z'));
}

TEST_F(BossKeyTest, ToggleHidesAndShowsOnlyTheMainWindow) {
    UniqueWindow other = MakeTopLevelWindow(L"login");
    ShowWindow(m_main.get(), SW_SHOW);
    ShowWindow(other.get(), SW_SHOW);

    Hotkey().Toggle();
    EXPECT_FALSE(IsWindowVisible(m_main.get()));
    EXPECT_TRUE(bossHidden);
    EXPECT_TRUE(IsWindowVisible(other.get()));

    Hotkey().Toggle();
    EXPECT_TRUE(IsWindowVisible(m_main.get()));
    EXPECT_FALSE(bossHidden);
    EXPECT_TRUE(IsWindowVisible(other.get()));
}
