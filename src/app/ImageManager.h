// The process-wide picture store: every embedded picture, decoded once at
// start-up and looked up by resource id while painting.
#pragma once

#include "afx/AfxGdiPlus.h"

#include <cstdint>
#include <map>
#include <memory>

class CImageManager {
public:
    // The one store, created empty on first use and destroyed at process exit.
    static CImageManager& Instance();

    CImageManager() = default;
    virtual ~CImageManager();
    CImageManager(const CImageManager&) = delete;
    CImageManager& operator=(const CImageManager&) = delete;

    // Stores `bitmap` under `id` and takes it out of the caller's hands:
    // 1. With `id` present and `replace` false nothing changes, the caller
    // keeps the bitmap and the result is 0; with `replace` the old bitmap is
    // deleted first.
    int Add(int32_t id, std::unique_ptr<Gdiplus::Bitmap>& bitmap, bool replace);
    // The stored bitmap, still owned by the store; null when absent.
    Gdiplus::Bitmap* Find(int32_t id) const;
    void Clear();

private:
    std::map<int32_t, std::unique_ptr<Gdiplus::Bitmap>> m_pictures;
};
