#include "app/ImageManager.h"

#include <cstdlib>

namespace {
CImageManager* g_store = nullptr;

void DestroyStore() {
    delete g_store;
    g_store = nullptr;
}
}  // namespace

CImageManager& CImageManager::Instance() {
    if (!g_store) {
        g_store = new CImageManager();
        std::atexit(DestroyStore);
    }
    return *g_store;
}

CImageManager::~CImageManager() { Clear(); }

int CImageManager::Add(int32_t id, std::unique_ptr<Gdiplus::Bitmap>& bitmap, bool replace) {
    if (!bitmap) return 0;
    auto found = m_pictures.find(id);
    if (found != m_pictures.end()) {
        if (!replace) return 0;
        m_pictures.erase(found);
    }
    m_pictures.emplace(id, std::move(bitmap));
    return 1;
}

Gdiplus::Bitmap* CImageManager::Find(int32_t id) const {
    auto found = m_pictures.find(id);
    return found == m_pictures.end() ? nullptr : found->second.get();
}

void CImageManager::Clear() { m_pictures.clear(); }
