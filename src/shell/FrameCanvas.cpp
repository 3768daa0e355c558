#include "shell/FrameCanvas.h"

FrameCanvas::FrameCanvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as GDI+ addresses rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_section || !bits) return;
    m_memory = CreateCompatibleDC(nullptr);
    if (!m_memory) return;
    m_previous = SelectObject(m_memory, m_section);
    // A new section is zero-filled: fully transparent. AlphaBlend expects
    // premultiplied pixels, which is what GDI+ keeps in a PARGB bitmap.
    bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppPARGB,
                                               static_cast<BYTE*>(bits));
    if (bitmap->GetLastStatus() != Gdiplus::Ok) bitmap.reset();
}

FrameCanvas::~FrameCanvas() {
    bitmap.reset();
    if (m_memory) {
        SelectObject(m_memory, m_previous);
        DeleteDC(m_memory);
    }
    if (m_section) DeleteObject(m_section);
}

void FrameCanvas::BlendOnto(HDC dc) const {
    if (!bitmap) return;
    GdiFlush();  // GDI+ has finished writing the section's pixels
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, 0, 0, m_width, m_height, m_memory, 0, 0, m_width, m_height, blend);
}
