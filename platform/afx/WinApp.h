// CWinApp: the one application object. Its constructor registers it so that
// the framework's entry point can find it.
#pragma once

#include "afx/CommandLineInfo.h"
#include "afx/String.h"
#include "afx/WinThread.h"

#include <memory>
#include <vector>

class CDocTemplate;

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Called by the entry point before InitInstance.
    void AttachInstance(HINSTANCE instance, LPWSTR commandLine, int showCommand);
    void SetRegistryKey(LPCWSTR key);

    // ---- Documents ---------------------------------------------------------
    void AddDocTemplate(CDocTemplate* docTemplate);
    CDocTemplate* FirstDocTemplate() const {
        return m_templates.empty() ? nullptr : m_templates.front().get();
    }
    void ParseCommandLine(CCommandLineInfo& info);
    // Runs the parsed command (File New); false when it fails.
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    void OnFileNew();

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_appName;
    CString m_registryKey;

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    bool m_lastFileNewFailed = false;
};
