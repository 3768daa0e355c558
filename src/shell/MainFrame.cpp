#include "shell/MainFrame.h"

#include "afx/AfxGdiPlus.h"
#include "app/ImageManager.h"
#include "app/Plover2App.h"
#include "res/resource.h"
#include "layout/TextCodec.h"
#include "services/DownloadEvent.h"
#include "services/Hotdialog.h"
#include "services/PackageDigest.h"
#include "services/StderrLine.h"
#include "services/UpdateRules.h"
#include "services/WriteAt.h"
#include "shell/CaptionLayout.h"
#include "shell/FrameCanvas.h"

namespace {
constexpr int kPictureCaptionLeft = 10001;
constexpr int kPictureCaptionMiddle = 10002;
constexpr int kPictureCaptionRight = 10003;
constexpr int kPictureEdge = 10004;
constexpr int kPictureBottom = 10005;
constexpr UINT_PTR kRedrawPauseTimer = 1;
constexpr LONG kMinimumWidth = 1000, kMinimumHeight = 700;

Gdiplus::Bitmap* Picture(int id) { return CImageManager::Instance().Find(id); }

int Width(Gdiplus::Bitmap* picture) { return picture ? static_cast<int>(picture->GetWidth()) : 0; }
int Height(Gdiplus::Bitmap* picture) {
    return picture ? static_cast<int>(picture->GetHeight()) : 0;
}

// Windows 7 draws the caption pictures 32.5 pixels high; other systems at
// their own height.
bool AskIsWindows7() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return false;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 6 &&
           version.dwMinorVersion == 1;
}

bool IsWindows7() {
    static const bool windows7 = AskIsWindows7();
    return windows7;
}

void DrawAt(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* picture, int x, int y,
            float height = -1) {
    if (!picture) return;
    float h = height < 0 ? static_cast<float>(picture->GetHeight()) : height;
    graphics.DrawImage(picture, Gdiplus::RectF(static_cast<float>(x), static_cast<float>(y),
                                               static_cast<float>(picture->GetWidth()), h));
}

std::u16string ActiveTitle(const CMainFrame& frame) {
    CDocument* document = frame.GetActiveDocument();
    return document ? ToU16(document->GetTitle().Str()) : std::u16string();
}
}  // namespace

// The label's font family: the named one, else the generic sans-serif one,
// else (a system without either, as a bare Wine prefix) the first installed.
struct CMainFrame::LabelFont {
    explicit LabelFont(LPCWSTR name) : named(name) {
        if (named.IsAvailable()) {
            family = &named;
            return;
        }
        const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
        if (generic && generic->IsAvailable()) {
            family = generic;
            return;
        }
        INT found = 0;
        if (installed.GetFamilyCount() > 0 &&
            installed.GetFamilies(1, &first, &found) == Gdiplus::Ok && found == 1 &&
            first.IsAvailable()) {
            family = &first;
        }
    }
    Gdiplus::FontFamily named;
    Gdiplus::InstalledFontCollection installed;
    Gdiplus::FontFamily first;
    const Gdiplus::FontFamily* family = nullptr;
};

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
ON_MESSAGE(WM_CREATE, OnCreate)
ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
ON_MESSAGE(WM_NCPAINT, OnNcPaint)
ON_MESSAGE(WM_ACTIVATE, OnActivate)
ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
ON_MESSAGE(WM_NCLBUTTONUP, OnNcLButtonUp)
ON_MESSAGE(WM_CAPTION_ACTION, OnCaptionAction)
ON_MESSAGE(WM_TIMER, OnTimer)
ON_MESSAGE(WM_CLOSE, OnClose)
ON_MESSAGE(WM_DOWNLOAD_EVENT, OnDownloadEvent)
ON_COMMAND(ID_GAME_REFRESH, OnRefresh)
ON_COMMAND(ID_GAME_SWITCH_ACCOUNT, ConfirmSwitchAccount)
ON_COMMAND(ID_GAME_RETURN_TO_SERVER, ConfirmReturnToServer)
ON_COMMAND(ID_GAME_BOSS_KEY, ShowBossKeyDialog)
END_MESSAGE_MAP()

// ---- Creation and title ------------------------------------------------------

LRESULT CMainFrame::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (CMDIFrameWnd::OnCreate(wParam, lParam) == -1) return -1;
    ModifyStyle(WS_CAPTION, 0);
    OnUpdateFrameTitle(TRUE);
    return 0;
}

void CMainFrame::OnUpdateFrameTitle(BOOL) {
    CString title;
    title.LoadString(IDS_GAME_TITLE);
    SetWindowText(title);
}

// ---- Non-client area -----------------------------------------------------------

LRESULT CMainFrame::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
    RECT* proposed = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(lParam);
    proposed->top += kCaptionStripHeight;
    return Default();
}

LRESULT CMainFrame::OnNcHitTest(WPARAM, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(m_hWnd, &point);
    // The whole strip above the client area drags, the top border included,
    // so the window never sizes from its top edge.
    if (InCaptionStrip(point.y)) return HTCAPTION;
    return Default();
}

LRESULT CMainFrame::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lParam);
    limits->ptMinTrackSize = {kMinimumWidth, kMinimumHeight};
    if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", L"")) {
        RECT bar;
        if (::GetWindowRect(taskbar, &bar)) limits->ptMaxSize.y -= bar.bottom - bar.top;
    }
    return Default();
}

LRESULT CMainFrame::OnNcPaint(WPARAM, LPARAM) {
    DrawFrame();
    return 0;
}

LRESULT CMainFrame::OnActivate(WPARAM, LPARAM) {
    LRESULT result = Default();
    DrawFrame();
    return result;
}

LRESULT CMainFrame::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

POINT CMainFrame::CursorInWindow() const {
    POINT cursor;
    ::GetCursorPos(&cursor);
    RECT window;
    GetWindowRect(&window);
    return {cursor.x - window.left, cursor.y - window.top};
}

LRESULT CMainFrame::OnNcLButtonDown(WPARAM, LPARAM) {
    const GameConfig* game = theApp.CurrentGame();
    if (!game) return Default();
    RECT window;
    GetWindowRect(&window);
    POINT at = CursorInWindow();
    PressResult press = OnCaptionPress(game->gameMain.buttons, window.right - window.left, at.x,
                                       at.y, m_pressedAction);
    m_pressedAction = press.pressedAction;
    return press.consumed ? 0 : Default();
}

LRESULT CMainFrame::OnNcLButtonUp(WPARAM, LPARAM) {
    const GameConfig* game = theApp.CurrentGame();
    if (!game) return 0;
    RECT window;
    GetWindowRect(&window);
    POINT at = CursorInWindow();
    int32_t action = OnCaptionRelease(game->gameMain.buttons, window.right - window.left, at.x,
                                      at.y, m_pressedAction);
    if (action) ::PostMessageW(m_hWnd, WM_CAPTION_ACTION, static_cast<WPARAM>(action), 0);
    return 0;
}

// ---- Painting --------------------------------------------------------------------

void CMainFrame::DrawFrame() {
    RECT window;
    GetWindowRect(&window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    if (width <= 0 || height <= 0) return;
    // The pieces are composed in a transparent, premultiplied bitmap the
    // size of the window, then blended onto the window in one step, so
    // whatever the pieces leave transparent stays as it is on screen.
    FrameCanvas canvas(width, height);
    if (!canvas.bitmap) return;
    {
        Gdiplus::Graphics graphics(canvas.bitmap.get());
        DrawBorders(graphics, width, height);
        DrawCaption(graphics, width);
    }
    HDC dc = GetWindowDC(m_hWnd);
    if (!dc) return;
    canvas.BlendOnto(dc);
    ReleaseDC(m_hWnd, dc);
}

void CMainFrame::DrawBorders(Gdiplus::Graphics& graphics, int width, int height) const {
    Gdiplus::Bitmap* edge = Picture(kPictureEdge);
    for (int32_t y : EdgeTiles(Height(edge), height)) {
        DrawAt(graphics, edge, 0, y);
        DrawAt(graphics, edge, width - Width(edge), y);
    }
    Gdiplus::Bitmap* bottom = Picture(kPictureBottom);
    for (int32_t x : BottomTiles(Width(bottom), width)) {
        DrawAt(graphics, bottom, x, height - Height(bottom));
    }
}

void CMainFrame::DrawCaption(Gdiplus::Graphics& graphics, int width) const {
    int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    CaptionState state;
    state.mousePressed = GetAsyncKeyState(button) != 0;
    POINT cursor = CursorInWindow();
    state.cursorX = cursor.x;
    state.cursorY = cursor.y;
    const GameConfig* game = theApp.CurrentGame();
    if (!game) return;

    float captionHeight = IsWindows7() ? 32.5f : -1.0f;
    Gdiplus::Bitmap* left = Picture(kPictureCaptionLeft);
    Gdiplus::Bitmap* middle = Picture(kPictureCaptionMiddle);
    Gdiplus::Bitmap* right = Picture(kPictureCaptionRight);
    DrawAt(graphics, left, 0, 0, captionHeight);
    for (int32_t x : CaptionMiddleTiles(Width(left), Width(middle), width)) {
        DrawAt(graphics, middle, x, 0, captionHeight);
    }
    DrawAt(graphics, right, width - Width(right), 0, captionHeight);

    state.activeTitle = ActiveTitle(*this);
    state.maximised = IsZoomed() != FALSE;
    for (const ButtonItem& item : game->gameMain.buttons) {
        CaptionButtonLook look = ChooseButtonLook(item, width, state);
        Gdiplus::Bitmap* picture = Picture(look.picture);
        if (!picture) continue;  // no picture, no label either
        DrawAt(graphics, picture, look.rect.left, look.rect.top);
        if (!look.label) continue;
        LayoutRect box = LabelBox(look.rect, Width(picture), Height(picture));
        const Gdiplus::FontFamily* family = LabelFamily();
        if (!family) continue;
        Gdiplus::Font font(family, 18.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        format.SetLineAlignment(Gdiplus::StringAlignmentFar);
        Gdiplus::SolidBrush brush(Gdiplus::Color(theApp.m_layout.captionColor));
        std::wstring text = ToWide(CaptionLabel(theApp.m_serverText));
        Gdiplus::RectF layout(static_cast<float>(box.left), static_cast<float>(box.top),
                              static_cast<float>(box.right - box.left),
                              static_cast<float>(box.bottom - box.top));
        graphics.DrawString(text.c_str(), -1, &font, layout, &format, &brush);
    }
}

const Gdiplus::FontFamily* CMainFrame::LabelFamily() const {
    // Looked up once: enumerating the installed fonts does not belong in a
    // paint path.
    if (!m_labelFont) {
        CString fontName;
        fontName.LoadString(IDS_TAB_FONT);
        m_labelFont = std::make_unique<LabelFont>(fontName);
    }
    return m_labelFont->family;
}

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

// ---- Actions -------------------------------------------------------------------------

LRESULT CMainFrame::OnCaptionAction(WPARAM wParam, LPARAM) {
    RunAction(static_cast<int32_t>(wParam));
    return 0;
}

void CMainFrame::RunAction(int32_t action) {
    switch (action) {
        case kActionGamePanel:
            theApp.OpenPanel(u"game");
            break;
        case kActionHomepagePanel:
            theApp.OpenPanel(u"homepage");
            break;
        case kActionBbsPanel:
            theApp.OpenPanel(u"bbs");
            break;
        case kActionReload:
            theApp.ReloadGamePage();
            break;
        case kActionReturnToServer:
            ConfirmReturnToServer();
            break;
        case kActionSwitchAccount:
            ConfirmSwitchAccount();
            break;
        case kActionMenu:
            ShowMainMenu();
            break;
        case kActionBossKey:
            ShowBossKeyDialog();
            break;
        case kActionMinimize:
            ShowWindow(SW_MINIMIZE);
            break;
        case kActionClose:
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
            break;
        case kActionMaximizeToggle:
            ToggleMaximize();
            break;
        default:
            break;
    }
}

void CMainFrame::OnRefresh() { theApp.ReloadGamePage(); }

void CMainFrame::ToggleMaximize() {
    if (IsZoomed()) {
        ShowWindow(SW_SHOWNORMAL);
        return;
    }
    ShowWindow(SW_MAXIMIZE);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    MoveWindow(work.left, work.top, work.right - work.left, work.bottom - work.top, TRUE);
}

void CMainFrame::ShowMainMenu() {
    HMENU menu = LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_GAME_MENU));
    if (!menu) return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    if (HMENU popup = GetSubMenu(menu, 0)) {
        TrackPopupMenu(popup, TPM_RIGHTALIGN, cursor.x + 10, cursor.y + 16, 0, m_hWnd, nullptr);
    }
    DestroyMenu(menu);
}

bool CMainFrame::Confirm(UINT textId) {
    CString caption, text;
    caption.LoadString(IDS_CONFIRM_CAPTION);
    text.LoadString(textId);
    SetWindowText(caption);
    return MessageBoxW(m_hWnd, text, caption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void CMainFrame::ConfirmSwitchAccount() {
    if (!Confirm(IDS_CONFIRM_SWITCH_ACCOUNT)) return;
    theApp.LogoutGamePage();
    // The logout page loads while the frame does not redraw.
    SendMessage(WM_SETREDRAW, FALSE, 0);
    SetTimer(kRedrawPauseTimer, 1000);
}

void CMainFrame::ConfirmReturnToServer() {
    if (Confirm(IDS_CONFIRM_RETURN_TO_SERVER)) theApp.ReturnToServerPage();
}

void CMainFrame::ShowBossKeyDialog() {
    Hotdialog dialog;
    dialog.DoModal();
}

LRESULT CMainFrame::OnTimer(WPARAM wParam, LPARAM) {
    KillTimer(wParam);
    if (wParam == kRedrawPauseTimer) {
        SendMessage(WM_SETREDRAW, TRUE, 0);
        theApp.ShowLoginAfterLogout();
    }
    return Default();
}

LRESULT CMainFrame::OnClose(WPARAM, LPARAM) {
    CString caption, text;
    caption.LoadString(IDS_CONFIRM_CAPTION);
    text.LoadString(IDS_CONFIRM_QUIT);
    SetWindowText(caption);
    // Released before the question, also when the player then cancels.
    UnregisterHotKey(m_hWnd, GlobalAddAtomA("hotkey") - 0xC000);
    if (MessageBoxW(m_hWnd, text, caption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return 0;
    ShowWindow(SW_HIDE);
    return CFrameWnd::OnClose(0, 0);
}

// ---- Update downloads ----------------------------------------------------------

LRESULT CMainFrame::OnDownloadEvent(WPARAM wParam, LPARAM) {
    const DownloadEvent& event = *reinterpret_cast<const DownloadEvent*>(wParam);
    if (event.tag != UpdateRules::kDownloadTag) return 0;
    const bool writes = event.type == kEventBufferFull || event.type == kEventRangeDone;
    const CString file = writes ? CPlover2App::DownloadFile(event.path) : CString();
    if (writes && !file.IsEmpty() && event.buffered > 0) {
        // A failed write is not reported; the download goes on.
        WriteAt(file, event.buffer, static_cast<UINT>(event.buffered),
                static_cast<LONGLONG>(event.position) - event.buffered);
    }
    if (event.type == kEventRangeDone && !file.IsEmpty()) {
        if (event.id == UpdateRules::kManifestDownload) StartPackageDownload(file);
        if (event.id == UpdateRules::kPackageDownload) KeepPackage(file);
    } else if (event.type == kEventFinished) {
        theApp.m_downloads.erase(event.id);
    } else if (event.type == kEventReadFailed && event.code == kCodeReconnectFailed) {
        AfxMessageBox(IDS_DOWNLOAD_FAILED, MB_OK);
    }
    return 0;
}

void CMainFrame::StartPackageDownload(const CString& manifestFile) {
    if (theApp.IsUpToDate(manifestFile)) return;
    const std::vector<UpdateServer>& items = theApp.m_layout.manifestItems;
    if (items.empty()) return;
    const UpdateServer& item = items[UpdateRules::PickSource(rand(), items.size())];
    theApp.m_packageDigest = item.sha256;
    theApp.StartDownload(UpdateRules::kPackageDownload,
                         CString(ToWide(UpdateRules::PackageObjectPath(item))),
                         CString(ToWide(item.host)), UpdateRules::kUpdatePort, 0);
}

void CMainFrame::KeepPackage(const CString& packageFile) {
    const std::string digest = Utf16ToUtf8(theApp.m_packageDigest);
    std::string actual;
    if (!digest.empty() && !PackageMatchesDigest(packageFile, digest, &actual)) {
        // Never start a package that is not the one the manifest announced.
        DeleteFileW(packageFile);
        StderrLine("update: the package " + Utf16ToUtf8(ToU16(packageFile.Str())) +
                   " has SHA-256 " + actual + ", not " + digest + " as announced; deleted");
        return;
    }
    theApp.m_packagePath = packageFile;
}
