// The framework's files: opening modes, the error record, and text lines
// with CR LF on disk.
#include "afx/FileException.h"
#include "afx/StdioFile.h"

#include "ServicesTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
class FrameworkFile : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        m_dir = std::wstring(temp) + L"services-file-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(m_dir.c_str(), nullptr));
        m_path = m_dir + L"\\text.txt";
    }
    void TearDown() override {
        DeleteFileW(m_path.c_str());
        RemoveDirectoryW(m_dir.c_str());
    }

    std::vector<std::wstring> ReadLines() {
        CStdioFile file;
        std::vector<std::wstring> lines;
        if (!file.Open(m_path.c_str(), CFile::modeRead | CFile::typeText)) return lines;
        CString line;
        while (file.ReadString(line)) lines.push_back(line.Str());
        return lines;
    }

    std::wstring m_dir;
    std::wstring m_path;
};

struct LinesCase {
    std::string disk;
    std::vector<std::wstring> lines;
};

const LinesCase kLinesCases[] = {
    {"", {}},
    {"\r\n", {L""}},
    {"first\r\nsecond\r\n", {L"first", L"second"}},
    {"first\r\nsecond", {L"first", L"second"}},
    {"unix\nends\n", {L"unix", L"ends"}},
    {"a\rb\r\n", {L"a\rb"}},
    {"\r\n\r\nthird\r\n", {L"", L"", L"third"}},
    {std::string(600, 'x') + "\r\ny", {std::wstring(600, L'x'), L"y"}},
};

struct CauseCase {
    LONG osError;
    int cause;
};

const CauseCase kCauseCases[] = {
    {NO_ERROR, CFileException::none},
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_HANDLE, CFileException::invalidFile},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_CANNOT_MAKE, CFileException::directoryFull},
    {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    {ERROR_WRITE_FAULT, CFileException::hardIO},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
    {ERROR_NOT_ENOUGH_MEMORY, CFileException::genericException},
};
}  // namespace

TEST_F(FrameworkFile, ReadStringGivesEachLineWithoutItsLineEnd) {
    for (const LinesCase& c : kLinesCases) {
        WriteDisk(m_path.c_str(), c.disk);
        EXPECT_EQ(ReadLines(), c.lines) << c.disk.substr(0, 40);
    }
}

TEST_F(FrameworkFile, WriteStringPutsCrLfOnDiskForEachNewline) {
    CStdioFile file;
    ASSERT_TRUE(file.Open(m_path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    EXPECT_TRUE(file.WriteString(L"one\ntwo\n"));
    EXPECT_TRUE(file.WriteString(L""));
    file.Close();
    EXPECT_EQ(ReadDisk(m_path.c_str()).bytes, "one\r\ntwo\r\n");
    EXPECT_EQ(ReadLines(), (std::vector<std::wstring>{L"one", L"two"}));
}

TEST_F(FrameworkFile, CreateEmptiesUnlessNoTruncateAndSeekToEndGivesTheLength) {
    WriteDisk(m_path.c_str(), "12345");
    CFile kept;
    ASSERT_TRUE(kept.Open(m_path.c_str(),
                          CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
    EXPECT_EQ(kept.SeekToEnd(), 5u);
    EXPECT_TRUE(kept.Write("67", 2));
    kept.Close();
    EXPECT_EQ(ReadDisk(m_path.c_str()).bytes, "1234567");

    CFile emptied;
    ASSERT_TRUE(emptied.Open(m_path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_EQ(emptied.GetLength(), 0u);
    EXPECT_TRUE(emptied.Write("ab", 2));
    emptied.Seek(0, FILE_BEGIN);
    char read[4] = {};
    EXPECT_EQ(emptied.Read(read, sizeof(read)), 2u);
    EXPECT_EQ(std::string(read, 2), "ab");
    EXPECT_EQ(emptied.Read(read, sizeof(read)), 0u);
}

TEST_F(FrameworkFile, FailedOpenFillsTheErrorRecordAndReturnsFalse) {
    struct OpenCase {
        std::wstring path;
        UINT flags;
        int cause;
    };
    const OpenCase cases[] = {
        {m_dir + L"\\missing.txt", CFile::modeRead, CFileException::fileNotFound},
        {m_dir + L"\\no-such-dir\\x.txt", CFile::modeCreate | CFile::modeWrite,
         CFileException::badPath},
        {m_dir, CFile::modeCreate | CFile::modeReadWrite, CFileException::accessDenied},
    };
    for (const OpenCase& c : cases) {
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.path.c_str(), c.flags, &error));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(error.m_cause, c.cause) << std::string(c.path.begin(), c.path.end());
        EXPECT_NE(error.m_lOsError, 0);
        EXPECT_EQ(error.m_strFileName, CString(c.path));
    }
}

TEST(FileException, CauseNumbersFromSystemErrors) {
    for (const CauseCase& c : kCauseCases) {
        EXPECT_EQ(CFileException::OsErrorToException(c.osError), c.cause) << c.osError;
    }
}
