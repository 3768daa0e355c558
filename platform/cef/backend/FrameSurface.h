// The latest picture of a page, decoded from the compressed frames the
// browser streams (JPEG or PNG bytes), ready to be painted into the
// browser's child window. Frames arrive on the connection's reader thread
// and are painted on the window's thread; the newest decoded frame wins and
// a frame that does not decode leaves the previous one on show.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace cefimpl {

class FrameSurface {
public:
    FrameSurface();
    ~FrameSurface();
    FrameSurface(const FrameSurface&) = delete;
    FrameSurface& operator=(const FrameSurface&) = delete;

    // Decodes `encoded` and makes it the current frame; false, keeping the
    // current one, when it is not a JPEG or PNG picture that decodes.
    bool Offer(const std::string& encoded);
    // Paints the current frame at the top left of `area`, the rest of
    // `area` white; false (all white) before the first frame.
    bool Paint(HDC dc, const RECT& area) const;
    // The current frame's size; 0 x 0 before the first one.
    SIZE FrameSize() const;
    // Frames decoded so far.
    uint64_t FrameCount() const;

private:
    class Picture;
    std::shared_ptr<const Picture> Current() const;

    mutable std::mutex m_lock;
    std::shared_ptr<const Picture> m_current;
    uint64_t m_frames = 0;
};

}  // namespace cefimpl
