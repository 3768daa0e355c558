// CDocument: the data side of a document/view pair. Here documents hold no
// data of their own; their title names the panel they show.
#pragma once

#include "afx/CmdTarget.h"
#include "afx/String.h"

#include <vector>

class CDocTemplate;
class CView;

class CDocument : public CCmdTarget {
public:
    CDocument() = default;
    ~CDocument() override;

    virtual BOOL OnNewDocument();
    // Also retitles the frames that show this document.
    virtual void SetTitle(LPCWSTR title);
    const CString& GetTitle() const { return m_strTitle; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    // The first view, or null.
    CView* GetFirstView() const { return m_views.empty() ? nullptr : m_views.front(); }
    const std::vector<CView*>& Views() const { return m_views; }

    CDocTemplate* m_pDocTemplate = nullptr;
    CString m_strTitle;

private:
    std::vector<CView*> m_views;
};
