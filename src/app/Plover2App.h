// The application object: start-up and shutdown, the embedded resources, the
// layout model and the current game, and the switching between the login
// screen and the game window.
#pragma once

#include "afx/AfxGdiPlus.h"
#include "cef/CefBase.h"
#include "layout/LayoutConfig.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CBackgroundWnd;
class CDocument;
class CMultiDocTemplate;
class CPlover2View;
class CLoginWnd;
class CMainFrame;
class CTopWnd;
class CWinThread;
class ClientApp;

// 1 while the login screen is the current screen, 0 while the game window is.
extern int g_loginScreenActive;
// Set until the first message the application pre-translates.
extern int g_bossKeyPending;

class CPlover2App : public CWinApp {
public:
    CPlover2App();
    ~CPlover2App() override;

    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    int ExitInstance() override;

    // ---- Resources ---------------------------------------------------------
    // The layout description into m_layout, then every embedded picture into
    // the image store.
    void LoadResources();
    static std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(int id);
    // The resource's bytes followed by one zero byte; empty when absent.
    static std::vector<char> LoadXmlResource(int id);
    static std::unique_ptr<Gdiplus::Bitmap> CreateBitmapFromMemory(const void* bytes, size_t size);

    // ---- Layout ------------------------------------------------------------
    // Makes `name` the current game when the layout has it.
    void SelectGame(const std::u16string& name);
    const GameConfig* CurrentGame() const { return m_layout.FindGame(m_currentGame); }
    WebPanel* FindWeb(const std::u16string& window, const std::u16string& function);
    WebPanel* FindGameMainWeb(const std::u16string& function);
    static std::wstring TempPath();

    // ---- Screens -----------------------------------------------------------
    void ShowGameWindow(const std::u16string& url, const std::u16string& text);
    void OpenPanel(const std::u16string& name);
    void ReloadGamePage();
    void LogoutGamePage();
    void ShowLoginAfterLogout();
    void ReturnToServerPage();

    // ---- Updates -----------------------------------------------------------
    // Starts a download thread for `path` on `host`; 0 when started, -1 when
    // the id is running already or the path names no plain local file.
    int StartDownload(int id, const CString& path, const CString& host, int port, int rangeStart);
    // Asks the current game's update server for the manifest; 1 when the
    // download started.
    int CheckForUpdate();
    // Parses the downloaded manifest and compares its version with the
    // executable's; true when no update is needed.
    BOOL IsUpToDate(const CString& manifestPath);
    // Starts the updater copy of a complete package; 1 when it went as far
    // as starting it, 0 when there was nothing to do.
    int LaunchUpdater();
    void CreateDesktopShortcut();
    // The temporary directory's file a download of `objectPath` writes; empty
    // when its decoded name is not a plain file name.
    static CString DownloadFile(const CString& objectPath);

    std::map<int, CWinThread*> m_downloads;
    CString m_packagePath;
    int m_updateServerIndex = 0;
    // The digest the chosen manifest item announced; empty when none.
    std::u16string m_packageDigest;

    LayoutConfig m_layout;
    ULONG_PTR m_gdiplusToken = 0;
    std::u16string m_gameAddress;
    std::u16string m_serverText;
    std::u16string m_currentGame;
    CBackgroundWnd* m_pBackgroundWnd = nullptr;
    CLoginWnd* m_pLoginWnd = nullptr;
    CTopWnd* m_pTopWnd = nullptr;
    int m_cefInitialized = 0;
    CefRefPtr<ClientApp> m_clientApp;
    CMultiDocTemplate* m_pDocTemplate = nullptr;

protected:
    void OnAppAbout();
    DECLARE_MESSAGE_MAP()

private:
    void StartEngine();
    bool StartPlatformServices();
    bool CreateMainFrame();
    void AskMissingAddresses();
    bool HasLoginAndLogoutPanels();
    void CreateLoginScreen();
    void ShowLoginScreen();
    void HideLoginScreen();
    // The first document named `name` (letter case ignored), naming an
    // untitled one it meets on the way; null when there is none.
    CDocument* FindPanelDocument(const std::u16string& name);
    static CPlover2View* FirstView(CDocument* document);
    CPlover2View* ActiveView() const;
    void ShowLoginScreenAgain();
};

extern CPlover2App theApp;
