// A transparent 32-bit picture the size of a window, drawn into with GDI+
// and blended onto a device context by its alpha. Its pixels live in a DIB
// section, so the blend is one AlphaBlend instead of a GDI+ copy that reads
// the whole window back first.
#pragma once

#include "afx/AfxGdiPlus.h"

#include <memory>

class FrameCanvas {
public:
    FrameCanvas(int width, int height);
    ~FrameCanvas();
    FrameCanvas(const FrameCanvas&) = delete;
    FrameCanvas& operator=(const FrameCanvas&) = delete;

    // Blends the whole picture onto `dc` at (0, 0); fully transparent pixels
    // leave the target unchanged.
    void BlendOnto(HDC dc) const;

    // Null when the pixels could not be allocated.
    std::unique_ptr<Gdiplus::Bitmap> bitmap;

private:
    int m_width, m_height;
    HDC m_memory = nullptr;
    HBITMAP m_section = nullptr;
    HGDIOBJ m_previous = nullptr;
};
