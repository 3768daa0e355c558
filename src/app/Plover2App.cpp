#include "app/Plover2App.h"

#include "app/AboutDlg.h"
#include "app/DebugDialog.h"
#include "app/DebugDialog2.h"
#include "app/ImageManager.h"
#include "browser/ClientApp.h"
#include "cef/CefProcess.h"
#include "res/resource.h"
#include "shell/BackgroundWnd.h"
#include "shell/LoginWnd.h"
#include "shell/MainFrame.h"
#include "shell/TopWnd.h"

#include <winsock2.h>

#include <cstdlib>
#include <cstring>

namespace {
// Picture ids the start-up loads; others in the resources are ignored.
constexpr int kPictureRanges[][2] = {{1001, 1199}, {10001, 10005}};

// A resource of `type` with the integer id, locked in memory, or none.
struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindResourceBytes(int id, LPCWSTR type) {
    HMODULE module = AfxGetResourceHandle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {};
    return {LockResource(loaded), SizeofResource(module, found)};
}
}  // namespace

int g_loginScreenActive = 0;
int g_bossKeyPending = 1;

namespace {
// The profile's registry key; the client stores nothing there itself.
constexpr wchar_t kVendorDomain[] = L"vantor.example";
constexpr DWORD kMainFrameStyle = 0x00CF8000;  // overlapped window, title from the document
constexpr DWORD kBackgroundExtraStyles = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
}  // namespace

BEGIN_MESSAGE_MAP(CPlover2App, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CPlover2App::CPlover2App() = default;

CPlover2App::~CPlover2App() {
    // The engine's only shutdown when start-up ended at an address prompt;
    // after ExitInstance it has nothing left to do.
    cef_shutdown();
    delete m_pTopWnd;
    delete m_pLoginWnd;
    delete m_pBackgroundWnd;
    m_clientApp = nullptr;
}

BOOL CPlover2App::InitInstance() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    m_clientApp = new ClientApp();
    // An engine sub-process ends here, through ExitInstance, with exit code 0.
    if (cef_execute_process(CefMainArgs(m_hInstance), m_clientApp.get(), nullptr) >= 0) {
        return FALSE;
    }
    StartEngine();
    if (!StartPlatformServices()) return FALSE;
    LoadResources();
    if (!m_layout.games.empty()) SelectGame(m_layout.games.begin()->first);
    if (!CreateMainFrame()) return FALSE;

    CString title;
    title.LoadString(IDS_GAME_TITLE);
    m_pBackgroundWnd = new CBackgroundWnd;
    m_pBackgroundWnd->Create(IDD_BACKGROUND, CWnd::FromHandle(m_hMainWnd));
    m_pBackgroundWnd->ModifyStyle(0, kBackgroundExtraStyles);
    m_pBackgroundWnd->SetWindowText(title);

    if (!HasLoginAndLogoutPanels()) return FALSE;
    AskMissingAddresses();

    CreateLoginScreen();
    ShowLoginScreen();
    return TRUE;
}

bool CPlover2App::StartEngine() {
    CefSettings settings;
    settings.no_sandbox = true;
    settings.multi_threaded_message_loop = true;
    CString cachePath;
    cachePath.Format(L"%scache_vantor", TempPath().c_str());
    settings.cache_path = cachePath.Str();
    m_cefInitialized =
        cef_initialize(CefMainArgs(m_hInstance), settings, m_clientApp.get(), nullptr);
    return m_cefInitialized != 0;
}

bool CPlover2App::StartPlatformServices() {
    WSADATA sockets;
    if (WSAStartup(MAKEWORD(2, 2), &sockets) != 0) {
        AfxMessageBox(IDS_NETWORK_FAILED);
        return false;
    }
    if (FAILED(OleInitialize(nullptr))) {
        AfxMessageBox(IDS_OLE_INIT_FAILED);
        return false;
    }
    SetRegistryKey(kVendorDomain);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);
    return true;
}

bool CPlover2App::CreateMainFrame() {
    CMainFrame* frame = new CMainFrame;
    if (!frame->LoadFrame(IDR_MAINFRAME, kMainFrameStyle)) {
        delete frame;
        return false;
    }
    m_hMainWnd = frame->m_hWnd;
    return true;
}

bool CPlover2App::HasLoginAndLogoutPanels() {
    // Start-up needs both pages; a layout without them cannot show anything
    // useful, so say what is missing and end.
    UINT missing = 0;
    if (!CurrentGame()) {
        missing = IDS_LAYOUT_NO_GAME;
    } else if (!FindWeb(u"login", u"login")) {
        missing = IDS_LAYOUT_NO_LOGIN;
    } else if (!FindWeb(u"gamemain", u"logout")) {
        missing = IDS_LAYOUT_NO_LOGOUT;
    }
    if (missing) AfxMessageBox(missing, MB_OK | MB_ICONERROR);
    return missing == 0;
}

// Asks for the address of an unconfigured panel; cancelling ends the
// process at once, without ExitInstance.
template <class Prompt>
static void AskAddress(WebPanel* panel) {
    if (!panel || panel->flag != 0) return;
    std::u16string entered;
    {
        Prompt prompt;
        if (prompt.DoModal() != IDOK) std::exit(0);
        entered = ToU16(prompt.m_text.Str());
    }
    panel->url = entered;
    panel->flag = 1;
}

bool CPlover2App::AskMissingAddresses() {
    AskAddress<CDebugDialog>(FindWeb(u"login", u"login"));
    AskAddress<CDebugDialog2>(FindWeb(u"gamemain", u"logout"));
    return true;
}

void CPlover2App::CreateLoginScreen() {
    m_pLoginWnd = new CLoginWnd;
    m_pLoginWnd->Create(IDD_LOGIN, m_pBackgroundWnd);
    m_pTopWnd = new CTopWnd;
    m_pTopWnd->Create(IDD_TOP, m_pLoginWnd);
}

void CPlover2App::ShowLoginScreen() {
    g_loginScreenActive = 1;
    for (CWnd* window : {static_cast<CWnd*>(m_pBackgroundWnd), static_cast<CWnd*>(m_pLoginWnd),
                         static_cast<CWnd*>(m_pTopWnd)}) {
        window->ShowWindow(SW_SHOW);
        window->UpdateWindow();
    }
    m_pBackgroundWnd->CenterWindow();
}

BOOL CPlover2App::PreTranslateMessage(MSG* msg) {
    g_bossKeyPending = 0;
    return CWinApp::PreTranslateMessage(msg);
}

int CPlover2App::ExitInstance() {
    if (m_cefInitialized) {
        m_cefInitialized = 0;
        CefRefPtr<ClientApp> released = m_clientApp;
        m_clientApp = nullptr;
        released = nullptr;
        cef_shutdown();
    }
    CImageManager::Instance().Clear();
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    return 0;
}

void CPlover2App::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

std::wstring CPlover2App::TempPath() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH, path);
    return std::wstring(path, length <= MAX_PATH ? length : 0);
}

void CPlover2App::ShowGameWindow(const std::u16string& url, const std::u16string& text) {
    m_gameAddress = url;
    m_serverText = text;
    for (CWnd* window : {static_cast<CWnd*>(m_pBackgroundWnd), static_cast<CWnd*>(m_pLoginWnd),
                         static_cast<CWnd*>(m_pTopWnd)}) {
        window->ShowWindow(SW_HIDE);
    }
    CWnd* frame = CWnd::FromHandle(m_hMainWnd);
    frame->CenterWindow();
    frame->ShowWindow(SW_MAXIMIZE);
    ::SetActiveWindow(m_hMainWnd);
    ::SetForegroundWindow(m_pBackgroundWnd->m_hWnd);
}

void CPlover2App::LoadResources() {
    std::vector<char> layout = LoadXmlResource(IDR_LAYOUT_XML);
    if (!layout.empty()) m_layout.LoadFromText(layout.data());

    for (const auto& range : kPictureRanges) {
        for (int id = range[0]; id <= range[1]; ++id) {
            std::unique_ptr<Gdiplus::Bitmap> bitmap = LoadPngResource(id);
            if (bitmap) CImageManager::Instance().Add(id, bitmap, false);
        }
    }
}

std::unique_ptr<Gdiplus::Bitmap> CPlover2App::LoadPngResource(int id) {
    ResourceBytes png = FindResourceBytes(id, L"PNG");
    if (!png.data) return nullptr;
    return CreateBitmapFromMemory(png.data, png.size);
}

std::vector<char> CPlover2App::LoadXmlResource(int id) {
    ResourceBytes xml = FindResourceBytes(id, L"XML");
    if (!xml.data) return {};
    std::vector<char> text(xml.size + 1, '\0');
    std::memcpy(text.data(), xml.data, xml.size);
    return text;
}

std::unique_ptr<Gdiplus::Bitmap> CPlover2App::CreateBitmapFromMemory(const void* bytes,
                                                                     size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    // GDI+ keeps its own reference to the stream for as long as it needs
    // the bytes; a picture that fails to decode comes back all the same and
    // measures 0 x 0.
    // GDI+ objects come from its own allocator, which answers null when out of
    // memory rather than throwing.
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(stream));
    stream->Release();
    return bitmap;
}

void CPlover2App::SelectGame(const std::u16string& name) {
    if (m_layout.games.count(name)) m_currentGame = name;
}

WebPanel* CPlover2App::FindWeb(const std::u16string& window, const std::u16string& function) {
    return m_layout.FindWeb(m_currentGame, window, function);
}

WebPanel* CPlover2App::FindGameMainWeb(const std::u16string& function) {
    return m_layout.FindGameMainWeb(m_currentGame, function);
}
