#include "afx/Afx.h"

#include <algorithm>

CMultiDocTemplate::CMultiDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                                     std::function<CMDIChildWnd*()> newFrame,
                                     std::function<CView*()> newView)
    : m_nIDResource(resourceId),
      m_newDocument(std::move(newDocument)),
      m_newFrame(std::move(newFrame)),
      m_newView(std::move(newView)) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    for (CDocument* document : m_documents) document->m_pDocTemplate = nullptr;
}

void CMultiDocTemplate::RemoveDocument(CDocument* document) {
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), document),
                      m_documents.end());
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCWSTR path) {
    (void)path;  // documents here hold no file of their own
    CWinApp* app = AfxGetApp();
    CMDIFrameWnd* main = static_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(app->m_hMainWnd));
    if (!main) return nullptr;

    CDocument* document = m_newDocument();
    document->m_pDocTemplate = this;
    m_documents.push_back(document);
    if (!document->OnNewDocument()) {
        delete document;
        return nullptr;
    }
    CCreateContext context;
    context.m_pCurrentDoc = document;
    context.m_newView = m_newView;
    CMDIChildWnd* frame = m_newFrame();
    if (!frame->LoadFrame(m_nIDResource, WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, main,
                          &context)) {
        delete frame;
        delete document;
        return nullptr;
    }
    frame->InitialUpdateFrame(document);
    return document;
}
