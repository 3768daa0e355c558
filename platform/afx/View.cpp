#include "afx/Afx.h"

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass) {
        WNDCLASSW viewClass = {};
        viewClass.style = CS_DBLCLKS;
        viewClass.lpfnWndProc = ::DefWindowProcW;
        viewClass.hInstance = AfxGetInstanceHandle();
        viewClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        viewClass.lpszClassName = L"AfxView";
        if (!AfxRegisterClass(&viewClass)) return FALSE;
        cs.lpszClass = L"AfxView";
    }
    return CWnd::PreCreateWindow(cs);
}
