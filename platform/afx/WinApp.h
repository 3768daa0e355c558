// CWinApp: the one application object. Its constructor registers it so that
// the framework's entry point can find it.
#pragma once

#include "afx/String.h"
#include "afx/WinThread.h"

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Called by the entry point before InitInstance.
    void AttachInstance(HINSTANCE instance, LPWSTR commandLine, int showCommand);
    void SetRegistryKey(LPCWSTR key);

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_appName;
    CString m_registryKey;
};
