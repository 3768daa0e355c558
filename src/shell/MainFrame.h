// The game window's frame. It is the application's main window: created
// hidden at start-up, shown when the page opens the game. It has no system
// caption: it paints its own caption bar, edges and caption buttons from the
// image store and the layout, and its documents are the game's web panels.
#pragma once

#include "afx/Afx.h"

#include <cstdint>
#include <memory>

// Posted by the frame to itself when a caption button click completes.
constexpr UINT WM_CAPTION_ACTION = WM_APP + 3;

namespace Gdiplus {
class FontFamily;
class Graphics;
}  // namespace Gdiplus

class CMainFrame : public CMDIFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    // The title is the game's, whatever document is active.
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    // Paints edges, caption bar and caption buttons over the whole window.
    void DrawFrame();

    int32_t m_pressedAction = 0;

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptionAction(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    // Writes the pieces of the update flow's downloads and moves the flow on.
    LRESULT OnDownloadEvent(WPARAM wParam, LPARAM lParam);
    void OnRefresh();
    void ConfirmSwitchAccount();
    void ConfirmReturnToServer();
    void ShowBossKeyDialog();
    DECLARE_MESSAGE_MAP()

private:
    void RunAction(int32_t action);
    void ShowMainMenu();
    void ToggleMaximize();
    bool Confirm(UINT textId);
    POINT CursorInWindow() const;
    void DrawBorders(Gdiplus::Graphics& graphics, int width, int height) const;
    void DrawCaption(Gdiplus::Graphics& graphics, int width) const;
    const Gdiplus::FontFamily* LabelFamily() const;
    // The update flow's steps once a download's range is complete.
    void StartPackageDownload(const CString& manifestFile);
    void KeepPackage(const CString& packageFile);

    struct LabelFont;
    mutable std::unique_ptr<LabelFont> m_labelFont;
};
