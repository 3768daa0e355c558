// CMultiDocTemplate: makes a document, its child frame and its view
// together, for the document type of one resource id.
#pragma once

#include "afx/String.h"

#include <functional>
#include <vector>

class CDocument;
class CFrameWnd;
class CMDIChildWnd;
class CView;

// How a frame being created finds its document and view type.
struct CCreateContext {
    CDocument* m_pCurrentDoc = nullptr;
    std::function<CView*()> m_newView;
};

// Factories standing in for runtime classes.
template <class T>
std::function<T*()> AfxFactory() {
    return [] { return new T; };
}

class CDocTemplate {
public:
    virtual ~CDocTemplate() = default;
    virtual CDocument* OpenDocumentFile(LPCWSTR path) = 0;
    virtual void RemoveDocument(CDocument* document) = 0;
};

class CMultiDocTemplate : public CDocTemplate {
public:
    CMultiDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                      std::function<CMDIChildWnd*()> newFrame, std::function<CView*()> newView);
    ~CMultiDocTemplate() override;

    // A new untitled document with its frame and view; null on failure.
    CDocument* OpenDocumentFile(LPCWSTR path) override;
    void RemoveDocument(CDocument* document) override;
    const std::vector<CDocument*>& Documents() const { return m_documents; }

    UINT m_nIDResource;

private:
    std::function<CDocument*()> m_newDocument;
    std::function<CMDIChildWnd*()> m_newFrame;
    std::function<CView*()> m_newView;
    std::vector<CDocument*> m_documents;
};
