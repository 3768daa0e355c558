#include "app/Plover2App.h"

#include "app/AboutDlg.h"
#include "app/DebugDialog.h"
#include "app/DebugDialog2.h"
#include "app/Plover2Doc.h"
#include "app/ImageManager.h"
#include "browser/ClientApp.h"
#include "browser/Plover2View.h"
#include "cef/CefProcess.h"
#include "res/resource.h"
#include "afx/File.h"
#include "layout/TextCodec.h"
#include "services/DesktopShortcut.h"
#include "services/DownloadName.h"
#include "services/HttpDownloadThread.h"
#include "services/Hotkey.h"
#include "services/StderrLine.h"
#include "services/UpdateRules.h"
#include "shell/BackgroundWnd.h"
#include "shell/ChildFrame.h"
#include "shell/LoginWnd.h"
#include "shell/MainFrame.h"
#include "shell/TopWnd.h"

#include <winsock2.h>

#include <shlobj.h>

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
    m_pDocTemplate = new CMultiDocTemplate(IDR_PLOVER2TYPE, AfxFactory<CPlover2Doc>(),
                                           AfxFactory<CChildFrame>(), AfxFactory<CPlover2View>());
    AddDocTemplate(m_pDocTemplate);
    if (!CreateMainFrame()) return FALSE;
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);

    CString title;
    title.LoadString(IDS_GAME_TITLE);
    m_pBackgroundWnd = new CBackgroundWnd;
    m_pBackgroundWnd->Create(IDD_BACKGROUND, CWnd::FromHandle(m_hMainWnd));
    m_pBackgroundWnd->ModifyStyle(0, kBackgroundExtraStyles);
    m_pBackgroundWnd->SetWindowText(title);

    if (!HasLoginAndLogoutPanels()) return FALSE;
    AskMissingAddresses();
    CreateDesktopShortcut();

    CreateLoginScreen();
    ShowLoginScreen();
    if (!ProcessShellCommand(commandLine)) return FALSE;
    CheckForUpdate();
    return TRUE;
}

void CPlover2App::StartEngine() {
    CefSettings settings;
    settings.no_sandbox = true;
    settings.multi_threaded_message_loop = true;
    CString cachePath;
    cachePath.Format(L"%scache_vantor", TempPath().c_str());
    settings.cache_path = cachePath.Str();
    m_cefInitialized =
        cef_initialize(CefMainArgs(m_hInstance), settings, m_clientApp.get(), nullptr);
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

void CPlover2App::AskMissingAddresses() {
    AskAddress<CDebugDialog>(FindWeb(u"login", u"login"));
    AskAddress<CDebugDialog2>(FindWeb(u"gamemain", u"logout"));
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
    // The saved boss key is registered on the first message the pump sees,
    // which may be inside an address prompt's modal loop.
    if (g_bossKeyPending) {
        g_bossKeyPending = 0;
        Hotkey().Restore();
    }
    BOOL handled = CWinApp::PreTranslateMessage(msg);
    if (g_loginScreenActive == 0 && msg->message == WM_HOTKEY) Hotkey().Toggle();
    return handled;
}

int CPlover2App::ExitInstance() {
    if (m_cefInitialized) {
        m_cefInitialized = 0;
        CefRefPtr<ClientApp> released = m_clientApp;
        m_clientApp = nullptr;
        released = nullptr;
        cef_shutdown();
    }
    LaunchUpdater();
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

// ---- Screens -------------------------------------------------------------

CDocument* CPlover2App::FindPanelDocument(const std::u16string& name) {
    if (!m_pDocTemplate) return nullptr;
    std::wstring wanted = ToWide(name);
    for (CDocument* document : m_pDocTemplate->Documents()) {
        if (document->GetTitle().IsEmpty()) document->SetTitle(wanted.c_str());
        if (document->GetTitle().CompareNoCase(wanted.c_str()) == 0) return document;
    }
    return nullptr;
}

CPlover2View* CPlover2App::FirstView(CDocument* document) {
    return document ? static_cast<CPlover2View*>(document->GetFirstView()) : nullptr;
}

CPlover2View* CPlover2App::ActiveView() const {
    CMainFrame* frame = static_cast<CMainFrame*>(CWnd::FromHandlePermanent(m_hMainWnd));
    CMDIChildWnd* child = frame ? frame->MDIGetActive() : nullptr;
    return child ? static_cast<CPlover2View*>(child->GetActiveView()) : nullptr;
}

static void ActivateMaximised(CView* view) {
    if (CWnd* parent = view ? view->GetParent() : nullptr) {
        if (auto* frame = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(parent->m_hWnd))) {
            frame->ActivateFrame(SW_SHOWMAXIMIZED);
        }
    }
}

void CPlover2App::HideLoginScreen() {
    for (CWnd* window : {static_cast<CWnd*>(m_pBackgroundWnd), static_cast<CWnd*>(m_pLoginWnd),
                         static_cast<CWnd*>(m_pTopWnd)}) {
        if (window) window->ShowWindow(SW_HIDE);
    }
}

void CPlover2App::ShowGameWindow(const std::u16string& url, const std::u16string& text) {
    CDocument* game = FindPanelDocument(u"game");
    if (!game) return;
    if (CPlover2View* view = FirstView(game)) {
        m_gameAddress = url;
        m_serverText = text;
        view->Navigate(ToWide(m_gameAddress).c_str());
        ActivateMaximised(view);
    }
    HideLoginScreen();
    CWnd* frame = CWnd::FromHandle(m_hMainWnd);
    frame->CenterWindow();
    frame->ShowWindow(SW_MAXIMIZE);
    ::SetActiveWindow(m_hMainWnd);
    ::SetForegroundWindow(m_pBackgroundWnd->m_hWnd);
}

void CPlover2App::OpenPanel(const std::u16string& name) {
    if (CDocument* existing = FindPanelDocument(name)) {
        ActivateMaximised(FirstView(existing));
        return;
    }
    OnFileNew();
    CPlover2View* view = FirstView(FindPanelDocument(name));
    if (!view) return;
    if (CurrentGame()) {
        if (WebPanel* panel = FindGameMainWeb(name)) view->Navigate(ToWide(panel->url).c_str());
    }
    ActivateMaximised(view);
}

void CPlover2App::ReloadGamePage() {
    if (CPlover2View* view = ActiveView()) {
        view->Navigate(ToWide(m_gameAddress).c_str());
        view->Refresh();
    }
}

void CPlover2App::LogoutGamePage() {
    if (m_pDocTemplate) {
        for (CDocument* document : m_pDocTemplate->Documents()) {
            CPlover2View* view = FirstView(document);
            if (!view || document->GetTitle().CompareNoCase(L"game") != 0) continue;
            WebPanel* panel = CurrentGame() ? FindGameMainWeb(u"logout") : nullptr;
            if (panel) view->Navigate(ToWide(panel->url).c_str());
        }
    }
    g_loginScreenActive = 1;
}

void CPlover2App::ShowLoginScreenAgain() {
    if (CPlover2View* view = ActiveView()) {
        view->Navigate(L"about:blank");
        view->Refresh();
    }
    ::ShowWindow(m_hMainWnd, SW_HIDE);
    for (CWnd* window : {static_cast<CWnd*>(m_pLoginWnd), static_cast<CWnd*>(m_pTopWnd),
                         static_cast<CWnd*>(m_pBackgroundWnd)}) {
        window->ShowWindow(SW_SHOW);
        window->UpdateWindow();
    }
}

void CPlover2App::ShowLoginAfterLogout() {
    ShowLoginScreenAgain();
    m_pLoginWnd->RebuildPanels();
    g_loginScreenActive = 1;
}

void CPlover2App::ReturnToServerPage() {
    ShowLoginScreenAgain();
    m_pLoginWnd->ReloadPanels();
    g_loginScreenActive = 1;
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

// ---- Updates -------------------------------------------------------------

namespace {
std::string ToAnsi(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &ansi[0], size, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(size - 1));
    return ansi;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

// The executable's version words (major * 65536 + minor, build * 65536 +
// revision); false when it has no readable version resource.
bool ModuleVersion(DWORD* high, DWORD* low) {
    const std::wstring exe = ModulePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<BYTE> info(size);
    if (!GetFileVersionInfoW(exe.c_str(), 0, size, info.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length != sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    *high = fixed->dwFileVersionMS;
    *low = fixed->dwFileVersionLS;
    return true;
}

std::unique_ptr<DownloadRequest> NewRequest(int id, int type, HWND window) {
    auto request = std::make_unique<DownloadRequest>();
    request->id = id;
    request->type = type;
    request->notifyWindow = window;
    return request;
}

}  // namespace

CString CPlover2App::DownloadFile(const CString& objectPath) {
    const auto name = DownloadName::SafeFromObjectPath(ToU16(objectPath.Str()));
    if (!name) return CString();
    const std::wstring temp = TempPath();
    if (temp.empty()) return CString();
    return CString(temp + ToWide(*name));
}

int CPlover2App::StartDownload(int id, const CString& path, const CString& host, int port,
                               int rangeStart) {
    if (m_downloads.count(id)) return -1;
    const CString file = DownloadFile(path);
    if (file.IsEmpty()) {
        // The name comes from the manifest, which anyone on the way can
        // change: it may only name a file in the temporary directory.
        StderrLine("update: refused to download " + Utf16ToUtf8(ToU16(path.Str())) +
                   ": its name is not a plain file name");
        return -1;
    }
    if (rangeStart == 0) {
        // An older, longer file of the same name must leave no tail.
        CFile truncate;
        if (truncate.Open(file, CFile::modeCreate | CFile::modeWrite)) truncate.Close();
    }
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CHttpDownloadThread), THREAD_PRIORITY_NORMAL,
                                        0, CREATE_SUSPENDED);
    if (!thread) return -1;
    thread->ResumeThread();
    auto start = NewRequest(id, kRequestStart, m_hMainWnd);
    start->tag = UpdateRules::kDownloadTag;
    start->host = host;
    start->paths.push_back(path);
    start->port = port;
    start->rangeStart = rangeStart;
    m_downloads[id] = thread;
    auto grow = NewRequest(id, kRequestGrowBuffer, m_hMainWnd);
    grow->bufferSize = UpdateRules::kPackageBufferSize;
    PostDownloadRequest(thread->m_nThreadID, std::move(start));
    PostDownloadRequest(thread->m_nThreadID, std::move(grow));
    return 0;
}

int CPlover2App::CheckForUpdate() {
    const GameConfig* game = CurrentGame();
    if (!game || m_updateServerIndex < 0 ||
        static_cast<size_t>(m_updateServerIndex) >= game->updateServers.size()) {
        return 0;
    }
    // Seeded once per run, so that runs spread over the package sources.
    srand(GetTickCount() ^ GetCurrentProcessId());
    const UpdateServer& server = game->updateServers[static_cast<size_t>(m_updateServerIndex)];
    StartDownload(UpdateRules::kManifestDownload,
                  CString(ToWide(UpdateRules::ManifestObjectPath(server))),
                  CString(ToWide(server.host)), UpdateRules::kUpdatePort, 0);
    return 1;
}

BOOL CPlover2App::IsUpToDate(const CString& manifestPath) {
    m_layout.ParseManifest(ToAnsi(manifestPath.Str()).c_str());
    if (!GetModuleHandleW(nullptr)) return TRUE;
    DWORD high = 0;
    DWORD low = 0;
    // Without a version of its own the client cannot tell an update from a
    // downgrade, so it stays as it is.
    if (!ModuleVersion(&high, &low)) return TRUE;
    return !UpdateRules::IsOutOfDate(high, low, m_layout.major, m_layout.minor);
}

int CPlover2App::LaunchUpdater() {
    if (m_packagePath.IsEmpty()) return 0;
    const std::wstring exe = ModulePath();
    const std::wstring temp = TempPath();
    if (temp.empty()) return 0;
    const std::u16string package = ToU16(m_packagePath.Str());
    const std::wstring updater = ToWide(UpdateRules::UpdaterPath(ToU16(temp), package));
    CopyFileW(m_packagePath, updater.c_str(), FALSE);
    const std::wstring line =
        ToWide(UpdateRules::UpdaterCommandLine(GetCurrentProcessId(), package, ToU16(exe)));
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(updater.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_SUSPENDED | CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup,
                       &process)) {
        ::ResumeThread(process.hThread);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return 1;
}

void CPlover2App::CreateDesktopShortcut() {
    const HRESULT com = CoInitialize(nullptr);
    wchar_t desktop[MAX_PATH] = {};
    LPITEMIDLIST folder = nullptr;
    bool found = false;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &folder)) && folder) {
        found = SHGetPathFromIDListW(folder, desktop) != FALSE;
        CoTaskMemFree(folder);
    }
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    if (found) {
        const std::wstring name = ToWide(m_currentGame);
        const std::wstring link = std::wstring(desktop) + L"\\" + name + L".lnk";
        if (SaveShellLink(link, ModulePath(), directory, name)) {
            std::fputs("创建成功\n", stdout);
            std::fflush(stdout);
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}
