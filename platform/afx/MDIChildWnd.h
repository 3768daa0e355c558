// CMDIChildWnd: a document window inside the MDI frame, holding one view
// that fills it.
#pragma once

#include "afx/DocTemplate.h"
#include "afx/FrameWnd.h"

class CDocument;
class CView;

class CMDIChildWnd : public CFrameWnd {
public:
    BOOL LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) override;
    void ActivateFrame(int showCommand = -1) override;
    // Names the window after its document (when created with the title
    // flag), then lets the MDI frame retitle.
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    // The view's first update, then the frame shows and activates.
    void InitialUpdateFrame(CDocument* document);

    CView* GetActiveView() const { return m_pView; }
    CDocument* GetActiveDocument() const;
    CMDIFrameWnd* GetMDIFrame() const;

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override {
        (void)msg;
        return FALSE;
    }
    BOOL RouteToViewAndSelf(UINT id, UINT code);

    CView* m_pView = nullptr;

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CCreateContext* m_pendingContext = nullptr;
    bool m_addToTitle = true;
};
