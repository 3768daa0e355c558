#include "afx/Afx.h"

#include <algorithm>

CDocument::~CDocument() {
    for (CView* view : m_views) view->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

BOOL CDocument::OnNewDocument() {
    m_strTitle.Empty();
    return TRUE;
}

void CDocument::SetTitle(LPCWSTR title) {
    m_strTitle = title;
    for (CView* view : m_views) {
        HWND parent = view->m_hWnd ? ::GetParent(view->m_hWnd) : nullptr;
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(parent))) {
            frame->OnUpdateFrameTitle(TRUE);
        }
    }
}

void CDocument::AddView(CView* view) {
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
    view->m_pDocument = nullptr;
}
