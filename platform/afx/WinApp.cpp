#include "afx/Afx.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resources = nullptr;
}  // namespace

CWinApp::CWinApp(LPCWSTR appName) : m_appName(appName) { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) { m_templates.emplace_back(docTemplate); }

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    info.m_nShellCommand = CCommandLineInfo::FileNew;
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    if (info.m_nShellCommand != CCommandLineInfo::FileNew) return TRUE;
    OnFileNew();
    return !m_lastFileNewFailed;
}

void CWinApp::OnFileNew() {
    CDocTemplate* docTemplate = FirstDocTemplate();
    m_lastFileNewFailed = !docTemplate || !docTemplate->OpenDocumentFile(nullptr);
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_exitCode; }

void CWinApp::AttachInstance(HINSTANCE instance, LPWSTR commandLine, int showCommand) {
    m_hInstance = instance;
    m_lpCmdLine = commandLine;
    m_nCmdShow = showCommand;
    m_nThreadID = GetCurrentThreadId();
    if (!g_resources) g_resources = instance;
    if (m_appName.IsEmpty()) m_appName.LoadString(AFX_IDS_APP_TITLE);
}

void CWinApp::SetRegistryKey(LPCWSTR key) { m_registryKey = key; }

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return g_resources ? g_resources : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE resources) { g_resources = resources; }

static HWND MessageBoxOwner() {
    HWND active = GetActiveWindow();
    if (active) return active;
    HWND main = g_app ? g_app->m_hMainWnd : nullptr;
    return main && IsWindowVisible(main) ? main : nullptr;
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT helpId) {
    (void)helpId;
    CString caption;
    if (g_app) caption = g_app->m_appName;
    if (caption.IsEmpty()) caption.LoadString(AFX_IDS_APP_TITLE);
    return MessageBoxW(MessageBoxOwner(), text, caption, type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text, type, helpId);
}
