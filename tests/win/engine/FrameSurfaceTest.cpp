// Streamed page frames decoded and painted: a 64 x 48 picture, red on its
// left half and blue on its right, as JPEG and as PNG.
#include "cef/backend/FrameSurface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {
std::string Fixture(const char* name) {
    std::ifstream in((std::string(ENGINE_FIXTURES) + "\\" + name).c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A 100 x 60 memory canvas, first filled black, to paint into and read back.
class Canvas {
public:
    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS,
                                    reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_dc = CreateCompatibleDC(nullptr);
        m_previous = SelectObject(m_dc, m_bitmap);
        RECT all = {0, 0, kWidth, kHeight};
        FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ~Canvas() {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    HDC dc() const { return m_dc; }
    RECT area() const { return {0, 0, kWidth, kHeight}; }
    // 0xRRGGBB
    unsigned Pixel(int x, int y) const {
        GdiFlush();
        return m_bits[y * kWidth + x] & 0xFFFFFF;
    }

    static constexpr int kWidth = 100;
    static constexpr int kHeight = 60;

private:
    HBITMAP m_bitmap = nullptr;
    unsigned* m_bits = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
};

// JPEG is lossy: a colour within a few steps of each channel counts.
bool Near(unsigned actual, unsigned expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (actual >> shift) & 0xFF;
        const int e = (expected >> shift) & 0xFF;
        if (a - e > 24 || e - a > 24) return false;
    }
    return true;
}

void ExpectSplitPicture(const Canvas& canvas) {
    EXPECT_TRUE(Near(canvas.Pixel(10, 10), 0xFF0000)) << std::hex << canvas.Pixel(10, 10);
    EXPECT_TRUE(Near(canvas.Pixel(50, 40), 0x0000FF)) << std::hex << canvas.Pixel(50, 40);
    // Beside and below the frame the panel is white, not left unpainted.
    EXPECT_EQ(canvas.Pixel(80, 10), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(10, 55), 0xFFFFFFu);
}

TEST(FrameSurfaceTest, JpegAndPngFramesArePaintedAtTheTopLeft) {
    for (const char* name : {"split.jpg", "split.png"}) {
        SCOPED_TRACE(name);
        cefimpl::FrameSurface surface;
        ASSERT_TRUE(surface.Offer(Fixture(name)));
        EXPECT_EQ(surface.FrameSize().cx, 64);
        EXPECT_EQ(surface.FrameSize().cy, 48);
        Canvas canvas;
        EXPECT_TRUE(surface.Paint(canvas.dc(), canvas.area()));
        ExpectSplitPicture(canvas);
    }
}

TEST(FrameSurfaceTest, BeforeTheFirstFrameThePanelIsWhite) {
    cefimpl::FrameSurface surface;
    Canvas canvas;
    EXPECT_FALSE(surface.Paint(canvas.dc(), canvas.area()));
    EXPECT_EQ(canvas.Pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(surface.FrameCount(), 0u);
}

TEST(FrameSurfaceTest, AFrameThatDoesNotDecodeLeavesThePreviousOne) {
    cefimpl::FrameSurface surface;
    ASSERT_TRUE(surface.Offer(Fixture("split.png")));
    const std::string jpeg = Fixture("split.jpg");
    const std::string broken[] = {"", "not a picture", jpeg.substr(0, 20),
                                  std::string(1000, '\xFF')};
    for (const std::string& bytes : broken) {
        EXPECT_FALSE(surface.Offer(bytes)) << bytes.size();
    }
    EXPECT_EQ(surface.FrameCount(), 1u);
    Canvas canvas;
    EXPECT_TRUE(surface.Paint(canvas.dc(), canvas.area()));
    ExpectSplitPicture(canvas);
}
}  // namespace
