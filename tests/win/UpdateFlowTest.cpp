// The application side of updating: the local files of downloads, the
// version check against this executable's version resource (1.0.0.0, as
// the client's), piece writes, the registry of running downloads and the
// updater hand-off.
#include "app/Plover2App.h"
#include "afx/WideText.h"
#include "layout/TextCodec.h"
#include "services/WriteAt.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {
std::wstring Temp() { return CPlover2App::TempPath(); }

std::string ReadWhole(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWhole(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

TEST(UpdateFlowTest, ADownloadLandsInTheTemporaryFolderUnderItsDecodedName) {
    const struct {
        const wchar_t* objectPath;
        const wchar_t* name;  // null: refused
    } cases[] = {
        {L"/a/bupdate.xml", L"bupdate.xml"},
        {L"/p/my+setup.exe", L"my setup.exe"},
        {L"/p/%E6%9B%B4%E6%96%B0.exe", L"更新.exe"},
        {L"/p/a%00b.exe", L"a"},
        {L"/p/..%5Cevil.exe", nullptr},
        {L"/p/a%2Fb.exe", nullptr},
        {L"/p/C%3A%5Cevil.exe", nullptr},
        {L"/p/", nullptr},
    };
    for (const auto& c : cases) {
        const CString file = CPlover2App::DownloadFile(c.objectPath);
        if (c.name) {
            EXPECT_EQ(file.Str(), Temp() + c.name) << c.objectPath;
        } else {
            EXPECT_TRUE(file.IsEmpty()) << c.objectPath;
        }
    }
}

TEST(UpdateFlowTest, TheManifestVersionIsComparedWithTheExecutables) {
    const struct {
        const char* what;
        const char* manifest;  // null: no file at all
        BOOL upToDate;
    } cases[] = {
        {"1.2.3.4", R"(<config><game major="65538" minor="196612"/></config>)", FALSE},
        {"1.0.0.0", R"(<config><game major="65536" minor="0"/></config>)", TRUE},
        {"1.0.0.1", R"(<config><game major="65536" minor="1"/></config>)", FALSE},
        {"no minor", R"(<config><game major="65536"/></config>)", TRUE},
        {"-1", R"(<config><game major="-1"/></config>)", FALSE},
        {"not numeric", R"(<config><game major="abc"/></config>)", TRUE},
        {"malformed", R"(<config><game major="99">)", TRUE},
        {"missing", nullptr, TRUE},
    };
    const std::wstring path = Temp() + L"plover-manifest-test.xml";
    for (const auto& c : cases) {
        DeleteFileW(path.c_str());
        if (c.manifest) WriteWhole(path, c.manifest);
        theApp.m_layout = LayoutConfig();
        EXPECT_EQ(theApp.IsUpToDate(CString(path)), c.upToDate) << c.what;
    }
    DeleteFileW(path.c_str());
}

TEST(UpdateFlowTest, PiecesAreWrittenAtTheirOffsetsWithoutTruncating) {
    const std::wstring path = Temp() + L"plover-writeat-test.bin";
    DeleteFileW(path.c_str());
    EXPECT_EQ(WriteAt(path.c_str(), "abc", 3, 5), 0);
    EXPECT_EQ(ReadWhole(path), std::string("\0\0\0\0\0abc", 8));
    EXPECT_EQ(WriteAt(path.c_str(), "XY", 2, 0), 0);
    EXPECT_EQ(ReadWhole(path), std::string("XY\0\0\0abc", 8));
    DeleteFileW(path.c_str());
    // A folder cannot be opened as a file: the cause comes back.
    EXPECT_NE(WriteAt(Temp().c_str(), "x", 1, 0), 0);
}

TEST(UpdateFlowTest, AnIdIsStartedOnceAndARefusedNameStartsNothing) {
    theApp.m_downloads.clear();
    // Nothing listens on port 1: the thread starts, fails its request and
    // waits idle, which is all this test needs.
    EXPECT_EQ(theApp.StartDownload(11, L"/u/plover-start-test.bin", L"127.0.0.1", 1, 0), 0);
    EXPECT_EQ(theApp.StartDownload(11, L"/u/plover-start-test.bin", L"127.0.0.1", 1, 0), -1);
    EXPECT_EQ(theApp.StartDownload(12, L"/u/..%5Cevil.exe", L"127.0.0.1", 1, 0), -1);
    EXPECT_EQ(theApp.m_downloads.size(), 1u);
    EXPECT_EQ(theApp.m_downloads.count(11), 1u);
    theApp.m_downloads.clear();
}

TEST(UpdateFlowTest, ADownloadFromTheStartEmptiesAnOlderFileFirst) {
    const std::wstring path = Temp() + L"plover-truncate-test.bin";
    WriteWhole(path, std::string(100, 'o'));
    theApp.m_downloads.clear();
    ASSERT_EQ(theApp.StartDownload(13, L"/u/plover-truncate-test.bin", L"127.0.0.1", 1, 0), 0);
    EXPECT_EQ(ReadWhole(path), "");
    theApp.m_downloads.clear();
    DeleteFileW(path.c_str());
}

TEST(UpdateFlowTest, TheUpdaterCopyStartsWithTheProcessIdAndBothPaths) {
    theApp.m_packagePath.Empty();
    EXPECT_EQ(theApp.LaunchUpdater(), 0);

    const std::wstring package = Temp() + L"plover-pkg-test.exe";
    const std::wstring updater = Temp() + L"\\updateplover-pkg-test.exe";
    const std::wstring log = Temp() + L"plover-updater-test.log";
    DeleteFileW(log.c_str());
    DeleteFileW(updater.c_str());
    ASSERT_TRUE(CopyFileW(TEXT(FAKE_UPDATER_EXE), package.c_str(), FALSE));
    SetEnvironmentVariableW(L"PLOVER_UPDATER_LOG", log.c_str());
    theApp.m_packagePath = package.c_str();
    EXPECT_EQ(theApp.LaunchUpdater(), 1);
    std::string line;
    for (int wait = 0; wait < 200 && line.empty(); ++wait) {
        Sleep(50);
        line = ReadWhole(log);
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring expected = L" -u -p" + std::to_wstring(GetCurrentProcessId()) + L" \"" +
                                  package + L"\" \"" + self + L"\"\n";
    EXPECT_EQ(line, Utf16ToUtf8(ToU16(expected)));
    EXPECT_NE(GetFileAttributesW(updater.c_str()), INVALID_FILE_ATTRIBUTES);
    theApp.m_packagePath.Empty();
    SetEnvironmentVariableW(L"PLOVER_UPDATER_LOG", nullptr);
    Sleep(200);  // the updater has written its line and ended; its copy may go
    DeleteFileW(updater.c_str());
    DeleteFileW(package.c_str());
    DeleteFileW(log.c_str());
}
}  // namespace
