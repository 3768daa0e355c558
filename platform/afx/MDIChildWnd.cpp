#include "afx/Afx.h"
#include "afx/CreationHook.h"

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_MESSAGE(WM_CREATE, OnCreate)
ON_MESSAGE(WM_SIZE, OnSize)
END_MESSAGE_MAP()

BOOL CMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    CMDIFrameWnd* frame = static_cast<CMDIFrameWnd*>(parent);
    if (!frame || !frame->m_hWndMDIClient) return FALSE;
    CString title;
    title.LoadString(resourceId);
    m_strTitle = title;
    CREATESTRUCTW cs = {};
    cs.style = style;
    cs.lpszClass = RegisterFrameClass(resourceId);
    if (!PreCreateWindow(cs) || !cs.lpszClass) return FALSE;
    // A frame created without the title flag keeps its document's name out
    // of its own text, and so out of the maximised MDI frame's title.
    m_addToTitle = (cs.style & FWS_ADDTOTITLE) != 0;

    // MDI children come from the client window; the creation hook binds
    // this object to the window it makes.
    MDICREATESTRUCTW create = {};
    create.szClass = cs.lpszClass;
    create.szTitle = L"";
    create.hOwner = AfxGetInstanceHandle();
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    create.style = cs.style & ~(WS_MAXIMIZE | WS_VISIBLE | FWS_ADDTOTITLE);
    m_pendingContext = context;
    HWND window;
    {
        AfxCreationHook hook(this);
        window = reinterpret_cast<HWND>(::SendMessageW(frame->m_hWndMDIClient, WM_MDICREATE, 0,
                                                       reinterpret_cast<LPARAM>(&create)));
    }
    m_pendingContext = nullptr;
    if (!window && m_hWnd) Detach();
    return window != nullptr;
}

LRESULT CMDIChildWnd::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    CCreateContext* context = m_pendingContext;
    if (!context || !context->m_newView) return 0;
    CView* view = context->m_newView();
    RECT none = {0, 0, 0, 0};
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, none, this, AFX_IDW_PANE_FIRST,
                      context)) {
        delete view;
        return -1;
    }
    m_pView = view;
    if (context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(view);
    return 0;
}

LRESULT CMDIChildWnd::OnSize(WPARAM, LPARAM) {
    LRESULT result = Default();
    if (m_pView && m_pView->m_hWnd) {
        RECT client;
        GetClientRect(&client);
        m_pView->MoveWindow(0, 0, client.right, client.bottom);
    }
    return result;
}

void CMDIChildWnd::InitialUpdateFrame(CDocument* document) {
    (void)document;
    if (m_pView) m_pView->OnInitialUpdate();
    OnUpdateFrameTitle(TRUE);
    ActivateFrame(-1);
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    CDocument* document = GetActiveDocument();
    if (addToTitle && m_addToTitle) SetWindowText(document ? document->GetTitle() : m_strTitle);
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(addToTitle);
}

void CMDIChildWnd::ActivateFrame(int showCommand) {
    if (showCommand == -1) showCommand = SW_SHOW;
    CMDIFrameWnd* frame = GetMDIFrame();
    if (frame)
        ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    ShowWindow(showCommand);
}

CDocument* CMDIChildWnd::GetActiveDocument() const {
    return m_pView ? m_pView->GetDocument() : nullptr;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
    HWND client = ::GetParent(m_hWnd);
    return static_cast<CMDIFrameWnd*>(
        CWnd::FromHandlePermanent(client ? ::GetParent(client) : nullptr));
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(m_hWnd, message, wParam, lParam);
}

BOOL CMDIChildWnd::RouteToViewAndSelf(UINT id, UINT code) {
    if (m_pView && m_pView->OnCmdMsg(id, code)) return TRUE;
    return CWnd::OnCmdMsg(id, code);
}
