// The login screen's middle window: colour-keyed so only its browser panels
// show, it hosts one CMiniBrowser per flagged login panel of the layout and
// hands the page's game request to the application.
#pragma once

#include "afx/Afx.h"
#include "layout/LayoutConfig.h"

#include <cstdint>
#include <memory>
#include <vector>

class CMiniBrowser;

struct LoginPanel {
    LayoutRect rect;
    int32_t l = 0, t = 0, r = 0, b = 0;
    std::u16string url;
    int32_t flag = 0;
    std::u16string function;
    std::unique_ptr<CMiniBrowser> host;
};

class CLoginWnd : public CDialog {
public:
    CLoginWnd();
    ~CLoginWnd() override;

    BOOL OnInitDialog() override;
    // Destroys every panel and builds them anew from the layout.
    void RebuildPanels();
    // Reloads every panel that has a browser, bypassing the cache.
    void ReloadPanels();

    std::vector<LoginPanel> m_panels;
    int32_t m_nextPanelId = 5000;

protected:
    LRESULT OnOpenGame(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DestroyPanels();
    void CheckConnectivity();
};

// Sets a window's dialog colour as its colour key, so the window's own
// surface is invisible and lets the mouse through.
void MakeColourKeyed(CWnd& window);
