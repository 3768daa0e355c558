// A push button painted entirely from the image store: one picture each for
// normal, hover, pushed, focused and disabled, the normal one standing in for
// any state without its own.
#pragma once

#include "afx/Afx.h"

class CImageButton : public CButton {
public:
    CImageButton() = default;

    void SetImages(int normal, int hover, int pressed, int disabled, int focus);
    virtual void DrawItem(const DRAWITEMSTRUCT* item);

    int m_normalImage = -1;
    int m_hoverImage = -1;
    int m_pressedImage = -1;
    int m_focusImage = -1;
    int m_disabledImage = -1;
    bool m_hover = false;
    bool m_pushed = false;

protected:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetState(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    UINT ItemState() const;
    int PictureFor(UINT state) const;
    void TrackHover(POINT point);
};
