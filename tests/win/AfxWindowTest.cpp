// Window objects, message maps, dialogs and frames of the framework layer.
#include "afx/Afx.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class BaseWindow : public CWnd {
public:
    std::vector<UINT> seen;
    bool created = false;

protected:
    LRESULT OnCreate(WPARAM, LPARAM) {
        created = true;
        return Default();
    }
    LRESULT OnUser(WPARAM wParam, LPARAM) { return 100 + static_cast<LRESULT>(wParam); }
    LRESULT OnUser2(WPARAM, LPARAM) { return 1; }
    void OnCommand7() { seen.push_back(7); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
ON_MESSAGE(WM_CREATE, OnCreate)
ON_MESSAGE(WM_USER, OnUser)
ON_MESSAGE(WM_USER + 2, OnUser2)
ON_COMMAND(7, OnCommand7)
END_MESSAGE_MAP()

class DerivedWindow : public BaseWindow {
protected:
    LRESULT OnUser2(WPARAM, LPARAM) { return 2; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
ON_MESSAGE(WM_USER + 2, OnUser2)
END_MESSAGE_MAP()
}  // namespace

TEST(AfxWindow, MessageMapsChainToTheBaseAndDerivedEntriesWin) {
    DerivedWindow window;
    ASSERT_TRUE(window.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(window.created) << "WM_CREATE reaches the object even for a system class";
    EXPECT_EQ(window.SendMessage(WM_USER, 5), 105);
    EXPECT_EQ(window.SendMessage(WM_USER + 2), 2);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(7, 0));
    window.SendMessage(WM_COMMAND, MAKEWPARAM(7, 1));  // accelerator
    window.SendMessage(WM_COMMAND, MAKEWPARAM(7, EN_CHANGE));
    EXPECT_EQ(window.seen, std::vector<UINT>({7, 7})) << "notifications are no commands";
    EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);
    window.DestroyWindow();
    EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST(AfxWindow, ForeignHandlesGetTemporaryObjectsUntilIdle) {
    HWND foreign = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   nullptr, nullptr);
    CWnd* temporary = CWnd::FromHandle(foreign);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    EXPECT_EQ(CWnd::FromHandle(foreign), temporary);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    CWnd::DeleteTempMap();
    DestroyWindow(foreign);
}

namespace {
class PromptDialog : public CDialog {
public:
    PromptDialog() : CDialog(300) {}
    CString text;
    CString typed;
    bool pressCancel = false;
    int changes = 0;

protected:
    void DoDataExchange(CDataExchange* exchange) override { DDX_Text(exchange, 1002, text); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        HWND edit = ::GetDlgItem(m_hWnd, 1002);
        ::SetWindowTextW(edit, typed);
        ::SetFocus(edit);
        // A real key press through the modal loop: Enter or Escape.
        ::PostMessageW(edit, WM_KEYDOWN, pressCancel ? VK_ESCAPE : VK_RETURN, 0);
        return FALSE;
    }
    void OnEditChange() {
        ++changes;
        UpdateData(TRUE);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PromptDialog, CDialog)
ON_EN_CHANGE(1002, OnEditChange)
END_MESSAGE_MAP()

class CountingApp : public CWinApp {
public:
    CountingApp() : CWinApp(L"test") {}
    int pretranslated = 0;
    BOOL PreTranslateMessage(MSG* msg) override {
        ++pretranslated;
        return CWinApp::PreTranslateMessage(msg);
    }
};
}  // namespace

TEST(AfxDialog, ModalPromptReturnsOkWithTheTypedTextThroughTheAppFilter) {
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    CountingApp app;
    PromptDialog prompt;
    prompt.typed = L"http://127.0.0.1/login";
    EXPECT_EQ(prompt.DoModal(), IDOK);
    EXPECT_EQ(prompt.text, CString(L"http://127.0.0.1/login"));
    EXPECT_GE(prompt.changes, 1);
    EXPECT_GT(app.pretranslated, 0) << "the modal loop pre-translates through the application";
    EXPECT_EQ(prompt.m_hWnd, nullptr) << "the dialog is destroyed after its loop";
}

TEST(AfxDialog, EscapeCancels) {
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    CountingApp app;
    PromptDialog prompt;
    prompt.pressCancel = true;
    EXPECT_EQ(prompt.DoModal(), IDCANCEL);
}

TEST(AfxDialog, MissingTemplateFailsWithMinusOne) {
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    CDialog missing(4321);
    EXPECT_EQ(missing.DoModal(), -1);
}

namespace {
class TestFrame : public CFrameWnd {
public:
    static int commands;
    static bool destroyed;
    ~TestFrame() override { destroyed = true; }

protected:
    void OnRefresh() { ++commands; }
    DECLARE_MESSAGE_MAP()
};
int TestFrame::commands = 0;
bool TestFrame::destroyed = false;

BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
ON_COMMAND(500, OnRefresh)
END_MESSAGE_MAP()
}  // namespace

TEST(AfxFrame, LoadsTitleAndAcceleratorsAndClosingTheMainFrameEndsTheLoop) {
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    CountingApp app;
    TestFrame* frame = new TestFrame;
    ASSERT_TRUE(frame->LoadFrame(400, WS_OVERLAPPEDWINDOW));
    app.m_hMainWnd = frame->m_hWnd;
    EXPECT_EQ(frame->GetWindowText(), CString(L"Frame title"));

    MSG key = {frame->m_hWnd, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_TRUE(app.PreTranslateMessage(&key));
    EXPECT_EQ(TestFrame::commands, 1);

    frame->SendMessage(WM_CLOSE);
    EXPECT_TRUE(TestFrame::destroyed) << "the frame deletes itself";
    EXPECT_EQ(app.m_hMainWnd, nullptr);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    Pump();
}
