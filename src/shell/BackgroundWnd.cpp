#include "shell/BackgroundWnd.h"

#include "afx/AfxGdiPlus.h"
#include "afx/ScopedGdi.h"
#include "app/ImageManager.h"
#include "app/Plover2App.h"
#include "res/resource.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CBackgroundWnd, CDialog)
ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
END_MESSAGE_MAP()

BOOL CBackgroundWnd::OnInitDialog() {
    CDialog::OnInitDialog();
    HICON icon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
    ModifyStyle(0, WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    LoadSprites();
    return TRUE;
}

void CBackgroundWnd::LoadSprites() {
    const GameConfig* game = theApp.CurrentGame();
    if (!game) return;
    for (const SpriteItem& sprite : game->login.sprites) {
        PlacedSprite placed;
        placed.layer = sprite.layer;
        placed.image = sprite.image;
        if (Gdiplus::Bitmap* picture = CImageManager::Instance().Find(sprite.image)) {
            placed.left = sprite.x;
            placed.top = sprite.y;
            placed.right = sprite.x + static_cast<int32_t>(picture->GetWidth());
            placed.bottom = sprite.y + static_cast<int32_t>(picture->GetHeight());
        }
        m_sprites.push_back(placed);
    }
    std::stable_sort(
        m_sprites.begin(), m_sprites.end(),
        [](const PlacedSprite& a, const PlacedSprite& b) { return a.layer < b.layer; });
    SetWindowPos(nullptr, 0, 0, game->login.width, game->login.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RenderLayered();
}

void CBackgroundWnd::RenderLayered() {
    RECT bounds;
    GetWindowRect(&bounds);
    POINT position = {bounds.left, bounds.top};
    SIZE size = {bounds.right - bounds.left, bounds.bottom - bounds.top};
    if (size.cx <= 0 || size.cy <= 0) return;

    // A top-down 32-bit DIB that GDI+ draws into directly as premultiplied
    // ARGB: exactly the layout UpdateLayeredWindow takes.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ScopedScreenDC screen;
    ScopedMemoryDC memory(screen.get());
    void* bits = nullptr;
    ScopedGdiObject surface(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!surface.get() || !bits || !memory.get()) return;
    ScopedSelectObject selected(memory.get(), surface.get());
    DrawSprites(bits, size);

    ModifyStyleEx(0, WS_EX_LAYERED);
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_hWnd, screen.get(), &position, &size, memory.get(), &origin, 0, &blend,
                        ULW_ALPHA);
}

void CBackgroundWnd::DrawSprites(void* bits, SIZE size) const {
    Gdiplus::Bitmap canvas(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB,
                           static_cast<BYTE*>(bits));
    Gdiplus::Graphics graphics(&canvas);
    for (const PlacedSprite& sprite : m_sprites) {
        Gdiplus::Bitmap* picture = CImageManager::Instance().Find(sprite.image);
        if (!picture) continue;
        int width = sprite.right - sprite.left;
        int height = sprite.bottom - sprite.top;
        graphics.DrawImage(picture, Gdiplus::Rect(sprite.left, sprite.top, width, height), 0, 0,
                           width, height, Gdiplus::UnitPixel);
    }
}

LRESULT CBackgroundWnd::OnNcHitTest(WPARAM, LPARAM) { return HTCAPTION; }

LRESULT CBackgroundWnd::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    // The taskbar's close asks the game window, which confirms before quitting.
    if ((wParam & 0xFFFF) == SC_CLOSE) {
        ::PostMessageW(::GetWindow(m_hWnd, GW_OWNER), WM_CLOSE, 0, lParam);
        return 0;
    }
    return Default();
}
