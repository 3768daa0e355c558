// The login screen's bottom window: the layout's sprites composed once into a
// layered window with per-pixel alpha. Every point of it drags the stack.
#pragma once

#include "afx/Afx.h"

#include <cstdint>
#include <vector>

struct PlacedSprite {
    int32_t layer = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t image = 0;
};

class CBackgroundWnd : public CDialog {
public:
    CBackgroundWnd() : CDialog(130) {}
    BOOL OnInitDialog() override;

    std::vector<PlacedSprite> m_sprites;

protected:
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void LoadSprites();
    void RenderLayered();
    // Draws the sprites, in order, into a premultiplied 32-bit surface.
    void DrawSprites(void* bits, SIZE size) const;
};
