// CView: the window of a document inside its frame. Views belong to the
// framework and delete themselves with their window.
#pragma once

#include "afx/Wnd.h"

class CDocument;

class CView : public CWnd {
public:
    CView() = default;
    ~CView() override;

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnInitialUpdate() {}
    void PostNcDestroy() override { delete this; }

    CDocument* m_pDocument = nullptr;

protected:
    void OnFilePrint() {}
    DECLARE_MESSAGE_MAP()
};
