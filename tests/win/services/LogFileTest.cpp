// The log folder's one-line files, in the real C:\log of the Wine prefix.
#include "services/File.h"

#include "ServicesTestSupport.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

namespace {
class LogFile : public ::testing::Test {
protected:
    CWinApp m_app{L"Plover2"};
    LogFolderState m_state;
};
}  // namespace

TEST_F(LogFile, WriteLineJoinsTheDoubledSeparatorAndWritesCrLf) {
    MessageBoxAnswerer boxes;
    File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"1626");
    EXPECT_TRUE(boxes.Texts().empty());
    DiskFile disk = ReadDisk(kHotFile);
    EXPECT_TRUE(disk.exists);
    EXPECT_EQ(disk.bytes, "1626\r\n");
}

TEST_F(LogFile, SecondWriteReplacesTheFirst) {
    File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"a rather long first line");
    File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"602");
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "602\r\n");
}

TEST_F(LogFile, MissingFolderIsCreatedAndAnExistingOneIsUsedQuietly) {
    if (!m_state.RemoveFolder()) GTEST_SKIP() << "C:\\log holds files of others";
    MessageBoxAnswerer boxes;
    File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"1");
    EXPECT_TRUE(PathIsDirectoryW(kLogFolder));
    File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"2");
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(ReadDisk(kHotFile).bytes, "2\r\n");
}

TEST_F(LogFile, FileNamedLikeTheFolderGivesTheFolderMessage) {
    if (!m_state.RemoveFolder()) GTEST_SKIP() << "C:\\log holds files of others";
    WriteDisk(kLogFolder, "in the way");
    MessageBoxAnswerer boxes;
    EXPECT_TRUE(File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"1626").IsEmpty());
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"日志文件夹创建失败"});
    EXPECT_EQ(ReadDisk(kLogFolder).bytes, "in the way");
}

TEST_F(LogFile, UnopenableFileGivesTheOpenMessageWithTheCause) {
    CreateDirectoryW(kLogFolder, nullptr);
    {
        // A directory in the file's place: access denied, cause 5.
        CreateDirectoryW(kHotFile, nullptr);
        MessageBoxAnswerer boxes;
        File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"1626");
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"打开日志文件失败！错误码 = 5\n"});
        LogFolderState::RemoveHotFile();
    }
    {
        // Held open by someone who shares it with nobody: cause 11. The
        // read-only attribute is no blocker here, as Wine runs as root.
        WriteDisk(kHotFile, "old\r\n");
        UniqueFile holder(
            CreateFileW(kHotFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
        MessageBoxAnswerer boxes;
        File().WriteLine(L"C:\\log\\", L"\\hot.txt", L"1626");
        holder.reset();
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"打开日志文件失败！错误码 = 11\n"});
        EXPECT_EQ(ReadDisk(kHotFile).bytes, "old\r\n");
    }
}

TEST_F(LogFile, ReadFirstLineGivesTheFirstLineOrNothing) {
    struct ReadCase {
        const char* disk;  // null: no file
        const wchar_t* line;
    };
    const ReadCase cases[] = {
        {nullptr, L""},        {"", L""},       {"\r\n", L""},
        {"1626\r\n", L"1626"}, {"602", L"602"}, {"first\r\nsecond\r\n", L"first"},
        {"  7 \r\n", L"  7 "},
    };
    CreateDirectoryW(kLogFolder, nullptr);
    for (const ReadCase& c : cases) {
        LogFolderState::RemoveHotFile();
        if (c.disk) WriteDisk(kHotFile, c.disk);
        EXPECT_EQ(File().ReadFirstLine(kHotFile), CString(c.line)) << (c.disk ? c.disk : "none");
    }
}

TEST_F(LogFile, ReadFirstLineOfADirectoryIsEmptyAndQuiet) {
    CreateDirectoryW(kLogFolder, nullptr);
    CreateDirectoryW(kHotFile, nullptr);
    MessageBoxAnswerer boxes;
    EXPECT_TRUE(File().ReadFirstLine(kHotFile).IsEmpty());
    EXPECT_TRUE(boxes.Texts().empty());
}
