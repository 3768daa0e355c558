// What the shipped executable carries: pictures, layout, strings, version,
// menus, accelerators and dialog templates, read from Plover2.exe itself.
#include "DialogTemplate.h"
#include "app/ImageManager.h"
#include "app/Plover2App.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <set>

namespace {
class ClientResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_module = LoadLibraryExW(TEXT(CLIENT_EXE), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (s_module) FreeLibrary(s_module);
        AfxSetResourceHandle(GetModuleHandleW(nullptr));
    }
    void SetUp() override {
        ASSERT_NE(s_module, nullptr) << "cannot open " << CLIENT_EXE;
        AfxSetResourceHandle(s_module);
    }
    static HMODULE s_module;
};
HMODULE ClientResources::s_module = nullptr;

struct PictureCase {
    int id;
    UINT width, height;
    bool alpha;
};

const PictureCase kPictures[] = {
    {1001, 1105, 600, true}, {1010, 30, 33, true},    {1011, 30, 33, true},  {1012, 30, 33, true},
    {1020, 29, 32, true},    {1021, 29, 32, true},    {1022, 29, 32, true},  {1030, 19, 19, true},
    {1031, 19, 19, true},    {1032, 19, 19, true},    {1040, 19, 19, true},  {1041, 19, 19, true},
    {1042, 19, 19, true},    {1050, 19, 19, true},    {1051, 19, 19, true},  {1052, 19, 19, true},
    {1053, 19, 19, true},    {1054, 19, 19, true},    {1055, 19, 19, true},  {1060, 19, 19, true},
    {1061, 19, 19, true},    {1062, 19, 19, true},    {1063, 49, 19, true},  {1120, 24, 24, true},
    {10001, 94, 30, true},   {10002, 400, 30, false}, {10003, 94, 30, true}, {10004, 4, 120, false},
    {10005, 104, 4, false},
};

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::set<int>*>(out)->insert(static_cast<int>((ULONG_PTR)name));
    }
    return TRUE;
}
}  // namespace

TEST_F(ClientResources, EveryPictureDecodesWithItsSizeAndAlpha) {
    for (const PictureCase& picture : kPictures) {
        auto bitmap = CPlover2App::LoadPngResource(picture.id);
        ASSERT_NE(bitmap, nullptr) << picture.id;
        EXPECT_EQ(bitmap->GetWidth(), picture.width) << picture.id;
        EXPECT_EQ(bitmap->GetHeight(), picture.height) << picture.id;
        EXPECT_EQ(Gdiplus::IsAlphaPixelFormat(bitmap->GetPixelFormat()) != FALSE, picture.alpha)
            << picture.id;
    }
}

TEST_F(ClientResources, CarriesExactlyTheShippedPictures) {
    std::set<int> ids;
    EnumResourceNamesW(s_module, L"PNG", CollectName, reinterpret_cast<LONG_PTR>(&ids));
    std::set<int> expected;
    for (const PictureCase& picture : kPictures) expected.insert(picture.id);
    EXPECT_EQ(ids, expected);
}

TEST_F(ClientResources, LoadResourcesFillsTheStoreFromTheExecutable) {
    CImageManager::Instance().Clear();
    CPlover2App app;
    app.LoadResources();
    for (const PictureCase& picture : kPictures) {
        EXPECT_NE(CImageManager::Instance().Find(picture.id), nullptr) << picture.id;
    }
    EXPECT_EQ(app.m_layout.games.size(), 1u);
    CImageManager::Instance().Clear();
}

TEST_F(ClientResources, LayoutBufferIsTheResourceWithOneZeroByteAfterIt) {
    HRSRC found = FindResourceW(s_module, MAKEINTRESOURCEW(IDR_LAYOUT_XML), L"XML");
    ASSERT_NE(found, nullptr);
    DWORD size = SizeofResource(s_module, found);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(s_module, found)));

    std::vector<char> text = CPlover2App::LoadXmlResource(IDR_LAYOUT_XML);
    ASSERT_EQ(text.size(), size + 1);
    EXPECT_EQ(text.back(), '\0');
    EXPECT_EQ(std::string(text.data(), size), std::string(bytes, size));
    EXPECT_EQ(std::string(text.data(), 3), "\xEF\xBB\xBF") << "UTF-8 with a byte-order mark";
    EXPECT_EQ(std::string(text.data() + 3, 5), "<?xml");
    EXPECT_NE(bytes[size - 1], '\0') << "the resource itself carries no terminator";
}

TEST_F(ClientResources, StringTableHoldsTheTextsAsWritten) {
    const struct {
        UINT id;
        const wchar_t* text;
    } strings[] = {
        {1, L"宋体"},
        {2, L"你确实要退出到切换账号页面?"},
        {3, L"你确实要返回到服务器页面?"},
        {4, L"你确定要退出微端?"},
        {5, L"下载失败!"},
        {6, L"blink浏览器"},
        {100, L"OLE 初始化失败。请确保 OLE 库是正确的版本。"},
        {101, L"Ashgrove"},
        {102, L"Ashgrove微端"},
        {103, L"不能为空"},
        {104, L"网络连接失败"},
        {128, L"Plover2"},
        {57344, L"Plover2"},
        {129, L"\nPlover2\nPlover2\n\n\nPlover2.Document\nPlover2.Document"},
    };
    for (const auto& s : strings) {
        CString text;
        EXPECT_TRUE(text.LoadString(s.id)) << s.id;
        EXPECT_EQ(text.Str(), std::wstring(s.text)) << s.id;
    }
}

TEST(ClientVersion, FileVersionIsOneZeroZeroZero) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(TEXT(CLIENT_EXE), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(TEXT(CLIENT_EXE), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(length, 52u);
    EXPECT_EQ(fixed->dwFileVersionMS, 65536u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
}

TEST_F(ClientResources, GameMenuHasItsThreeCommands) {
    HMENU menu = LoadMenuW(s_module, MAKEINTRESOURCEW(IDR_GAME_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    const struct {
        UINT id;
        const wchar_t* text;
    } items[] = {{32772, L"刷新"}, {32775, L"切换其他帐号"}, {32776, L"返回服务器选择"}};
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GetMenuItemID(popup, i), items[i].id);
        wchar_t text[64] = {};
        GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, items[i].text);
    }
    DestroyMenu(menu);

    HMENU frameMenu = LoadMenuW(s_module, MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(frameMenu, nullptr);
    wchar_t about[64] = {};
    EXPECT_GT(GetMenuStringW(frameMenu, ID_APP_ABOUT, about, 64, MF_BYCOMMAND), 0);
    DestroyMenu(frameMenu);
}

TEST_F(ClientResources, AcceleratorF5RefreshesTheGame) {
    HACCEL table = LoadAcceleratorsW(s_module, MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32];
    int count = CopyAcceleratorTableW(table, entries, 32);
    bool found = false;
    for (int i = 0; i < count; ++i) {
        if (entries[i].key == VK_F5 && entries[i].cmd == 32772) {
            found = true;
            EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FCONTROL | FALT | FSHIFT), FVIRTKEY);
            EXPECT_TRUE(entries[i].fVirt & FNOINVERT);
        }
    }
    EXPECT_TRUE(found);
    DestroyAcceleratorTable(table);
}

TEST_F(ClientResources, IconLoads) {
    HICON icon = static_cast<HICON>(
        LoadImageW(s_module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
}

TEST_F(ClientResources, LoginScreenTemplatesHaveTheirStylesAndSizes) {
    const DWORD common = DS_SETFONT | DS_FIXEDSYS | WS_POPUP | WS_SYSMENU;
    const struct {
        int id;
        DWORD style, exStyle;
        int cx, cy;
    } cases[] = {
        {IDD_BACKGROUND, common, WS_EX_APPWINDOW | WS_EX_CLIENTEDGE, 391, 242},
        {IDD_LOGIN, common | WS_CLIPSIBLINGS, 0, 558, 328},
        {IDD_TOP, common | WS_CLIPSIBLINGS, 0, 558, 328},
    };
    for (const auto& c : cases) {
        DialogTemplate dialog = ReadDialogTemplate(s_module, c.id);
        ASSERT_TRUE(dialog.valid) << c.id;
        EXPECT_EQ(dialog.style, c.style) << c.id;
        EXPECT_EQ(dialog.exStyle, c.exStyle) << c.id;
        EXPECT_EQ(dialog.cx, c.cx) << c.id;
        EXPECT_EQ(dialog.cy, c.cy) << c.id;
        EXPECT_TRUE(dialog.items.empty()) << c.id;
    }
}

TEST_F(ClientResources, AddressPromptsHaveAnEditAndAnOkButton) {
    const struct {
        int id, edit;
        const wchar_t* caption;
    } cases[] = {{IDD_LOGIN_ADDRESS, IDC_LOGIN_ADDRESS, L"登陆链接输入框"},
                 {IDD_LOGOUT_ADDRESS, IDC_LOGOUT_ADDRESS, L"注销cookie链接输入框"}};
    for (const auto& c : cases) {
        DialogTemplate dialog = ReadDialogTemplate(s_module, c.id);
        ASSERT_TRUE(dialog.valid) << c.id;
        EXPECT_EQ(dialog.caption, c.caption);
        EXPECT_EQ(dialog.cx, 264);
        EXPECT_EQ(dialog.cy, 50);
        EXPECT_EQ(dialog.font, L"MS Shell Dlg");
        EXPECT_EQ(dialog.pointSize, 8);
        EXPECT_EQ(dialog.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
        ASSERT_EQ(dialog.items.size(), 2u);
        const DialogItem& edit = dialog.items[0];
        EXPECT_EQ(edit.id, DWORD(c.edit));
        EXPECT_EQ(edit.className, L"#129");  // edit
        EXPECT_EQ(edit.style & (ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
                  DWORD(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP));
        EXPECT_EQ((edit.x << 24) | (edit.y << 16) | (edit.cx << 8) | edit.cy,
                  (14 << 24) | (20 << 16) | (187 << 8) | 15);
        const DialogItem& ok = dialog.items[1];
        EXPECT_EQ(ok.id, DWORD(IDOK));
        EXPECT_EQ(ok.text, L"确定");
        EXPECT_EQ(ok.style & 0xF, DWORD(BS_DEFPUSHBUTTON));
        EXPECT_EQ((ok.x << 24) | (ok.y << 16) | (ok.cx << 8) | ok.cy,
                  (207 << 24) | (21 << 16) | (50 << 8) | 14);
    }
}

TEST_F(ClientResources, BossKeyTemplateHasTheHotKeyFieldAndPlainLabel) {
    DialogTemplate dialog = ReadDialogTemplate(s_module, IDD_HOTKEY);
    ASSERT_TRUE(dialog.valid);
    EXPECT_EQ(dialog.cx, 220);
    EXPECT_EQ(dialog.cy, 50);
    EXPECT_EQ(dialog.caption, L"");
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.items[0].id, DWORD(IDOK));
    EXPECT_EQ(dialog.items[0].text, L"确定");
    EXPECT_EQ(dialog.items[1].id, DWORD(IDC_HOTKEY));
    // Class names are case-insensitive; the resource compiler stores them upper case.
    EXPECT_EQ(_wcsicmp(dialog.items[1].className.c_str(), HOTKEY_CLASSW), 0);
    EXPECT_EQ(dialog.items[2].text, L"老板键：");
    EXPECT_EQ(dialog.items[2].className, L"#130");  // static
}

TEST_F(ClientResources, EveryDialogOpens) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    for (int id : {IDD_ABOUTBOX, IDD_BACKGROUND, IDD_LOGIN, IDD_TOP, IDD_LOGIN_ADDRESS,
                   IDD_LOGOUT_ADDRESS, IDD_HOTKEY}) {
        HWND dialog = CreateDialogParamW(
            s_module, MAKEINTRESOURCEW(id), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        EXPECT_NE(dialog, nullptr) << id;
        if (dialog) DestroyWindow(dialog);
    }
}
