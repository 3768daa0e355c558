#include "shell/ImageButton.h"

#include "afx/AfxGdiPlus.h"
#include "app/ImageManager.h"

BEGIN_MESSAGE_MAP(CImageButton, CButton)
ON_MESSAGE(WM_PAINT, OnPaint)
ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_MESSAGE(BM_SETSTATE, OnSetState)
END_MESSAGE_MAP()

void CImageButton::SetImages(int normal, int hover, int pressed, int disabled, int focus) {
    m_normalImage = normal;
    m_hoverImage = hover;
    m_pressedImage = pressed;
    m_disabledImage = disabled;
    m_focusImage = focus;
}

UINT CImageButton::ItemState() const {
    if (!::IsWindowEnabled(m_hWnd)) return ODS_DISABLED;
    UINT state = ::GetFocus() == m_hWnd ? ODS_FOCUS : 0;
    if (m_pushed) {
        state |= ODS_SELECTED;
    } else if (m_hover) {
        state |= ODS_HOTLIGHT;
    }
    return state;
}

LRESULT CImageButton::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID());
    item.hwndItem = m_hWnd;
    item.hDC = dc;
    GetClientRect(&item.rcItem);
    item.itemState = ItemState();
    DrawItem(&item);
    EndPaint(m_hWnd, &paint);
    return 0;
}

int CImageButton::PictureFor(UINT state) const {
    if ((state & ODS_SELECTED) && m_pressedImage >= 0) return m_pressedImage;
    if ((state & ODS_HOTLIGHT) && m_hoverImage >= 0) return m_hoverImage;
    if ((state & ODS_FOCUS) && m_focusImage >= 0) return m_focusImage;
    if ((state & ODS_DISABLED) && m_disabledImage >= 0) return m_disabledImage;
    return m_normalImage;
}

void CImageButton::DrawItem(const DRAWITEMSTRUCT* item) {
    Gdiplus::Bitmap* picture = CImageManager::Instance().Find(PictureFor(item->itemState));
    if (!picture) return;
    // The top-left part of the picture, the button's size, blended by alpha;
    // never scaled.
    const RECT& r = item->rcItem;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    Gdiplus::Graphics graphics(item->hDC);
    graphics.DrawImage(picture, Gdiplus::Rect(r.left, r.top, width, height), 0, 0, width, height,
                       Gdiplus::UnitPixel);
}

void CImageButton::TrackHover(POINT point) {
    RECT client;
    GetClientRect(&client);
    bool inside = PtInRect(&client, point) != FALSE;
    if (inside == m_hover) return;
    m_hover = inside;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    _TrackMouseEvent(&track);
}

LRESULT CImageButton::OnMouseMove(WPARAM, LPARAM lParam) {
    LRESULT result = Default();
    TrackHover({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return result;
}

LRESULT CImageButton::OnMouseLeave(WPARAM, LPARAM) {
    TrackHover({-1, -1});
    return 0;
}

LRESULT CImageButton::OnSetState(WPARAM wParam, LPARAM) {
    // The standard processing would paint the button its own way; without
    // the visible bit it paints nothing.
    if (GetStyle() & WS_VISIBLE) {
        ModifyStyle(WS_VISIBLE, 0);
        Default();
        ModifyStyle(0, WS_VISIBLE);
    } else {
        Default();
    }
    m_pushed = wParam != 0;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}
