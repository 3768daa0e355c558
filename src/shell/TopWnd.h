// The login screen's top window: colour-keyed, holding the layout's picture
// buttons (minimise and close).
#pragma once

#include "afx/Afx.h"
#include "layout/LayoutConfig.h"

#include <memory>
#include <vector>

class CImageButton;

struct LoginButton {
    LayoutRect rect;
    int32_t action = 0;
    std::unique_ptr<CImageButton> button;
};

class CTopWnd : public CDialog {
public:
    CTopWnd();
    ~CTopWnd() override;

    BOOL OnInitDialog() override;
    void RebuildButtons();

    std::vector<LoginButton> m_buttons;

protected:
    void OnMinimize();
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    void DestroyButtons();
};
