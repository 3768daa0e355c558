// The framework's entry point: initialise the application object, run its
// message loop, end with what ExitInstance returns.
#include "afx/Afx.h"

int AfxWinMain(HINSTANCE instance, LPWSTR commandLine, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->AttachInstance(instance, commandLine, showCommand);
    if (!app->InitInstance()) {
        if (app->m_hMainWnd) DestroyWindow(app->m_hMainWnd);
        return app->ExitInstance();
    }
    return app->Run();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return AfxWinMain(instance, GetCommandLineW(), showCommand);
}
