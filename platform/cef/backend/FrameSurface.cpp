#include "cef/backend/FrameSurface.h"

#include <shlwapi.h>
#include <wincodec.h>

#include <cstring>
#include <vector>

namespace cefimpl {
namespace {
// Releases the COM interface it holds.
template <class Interface>
class Com {
public:
    Com() = default;
    ~Com() {
        if (m_pointer) m_pointer->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Interface* operator->() const { return m_pointer; }
    Interface* get() const { return m_pointer; }
    Interface** out() { return &m_pointer; }

private:
    Interface* m_pointer = nullptr;
};

// COM for the calling thread while it lives; a thread that has it already,
// in whatever mode, keeps it as it is.
class ComScope {
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

// 32-bit top-down BGRA pixels of `encoded`, or false.
bool DecodePixels(const std::string& encoded, UINT* width, UINT* height,
                  std::vector<BYTE>* pixels) {
    if (encoded.empty()) return false;
    ComScope com;
    Com<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())))) {
        return false;
    }
    Com<IStream> stream;
    *stream.out() = SHCreateMemStream(reinterpret_cast<const BYTE*>(encoded.data()),
                                      static_cast<UINT>(encoded.size()));
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    if (!stream.get() ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) ||
        FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(width, height)) || *width == 0 || *height == 0) {
        return false;
    }
    pixels->resize(static_cast<size_t>(*width) * *height * 4);
    return SUCCEEDED(converter->CopyPixels(nullptr, *width * 4, static_cast<UINT>(pixels->size()),
                                           pixels->data()));
}
}  // namespace

// One decoded frame as a DIB section, painted with BitBlt.
class FrameSurface::Picture {
public:
    Picture(UINT width, UINT height, const std::vector<BYTE>& pixels)
        : m_size{int(width), int(height)} {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = m_size.cx;
        info.bmiHeader.biHeight = -m_size.cy;  // top-down, as decoded
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (m_bitmap && bits) std::memcpy(bits, pixels.data(), pixels.size());
    }
    ~Picture() {
        if (m_bitmap) DeleteObject(m_bitmap);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool Valid() const { return m_bitmap != nullptr; }
    SIZE Size() const { return m_size; }

    void Paint(HDC dc, int x, int y) const {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, m_bitmap);
        BitBlt(dc, x, y, m_size.cx, m_size.cy, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }

private:
    SIZE m_size;
    HBITMAP m_bitmap = nullptr;
};

FrameSurface::FrameSurface() = default;
FrameSurface::~FrameSurface() = default;

bool FrameSurface::Offer(const std::string& encoded) {
    UINT width = 0;
    UINT height = 0;
    std::vector<BYTE> pixels;
    if (!DecodePixels(encoded, &width, &height, &pixels)) return false;
    auto picture = std::make_shared<const Picture>(width, height, pixels);
    if (!picture->Valid()) return false;
    std::lock_guard<std::mutex> hold(m_lock);
    m_current = std::move(picture);
    ++m_frames;
    return true;
}

std::shared_ptr<const FrameSurface::Picture> FrameSurface::Current() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_current;
}

bool FrameSurface::Paint(HDC dc, const RECT& area) const {
    // Painting works on its own reference, so a newer frame may replace
    // the current one meanwhile without waiting for the blit.
    const std::shared_ptr<const Picture> picture = Current();
    RECT rest = area;
    if (picture) {
        picture->Paint(dc, area.left, area.top);
        const SIZE size = picture->Size();
        RECT right = {area.left + size.cx, area.top, area.right, area.bottom};
        RECT below = {area.left, area.top + size.cy, area.left + size.cx, area.bottom};
        FillRect(dc, &right, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FillRect(dc, &below, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return true;
    }
    FillRect(dc, &rest, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return false;
}

SIZE FrameSurface::FrameSize() const {
    const std::shared_ptr<const Picture> picture = Current();
    return picture ? picture->Size() : SIZE{0, 0};
}

uint64_t FrameSurface::FrameCount() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_frames;
}

}  // namespace cefimpl
