// The entries of a context menu the client may trim before it shows.
#pragma once

#include "cef/CefClient.h"

#include <mutex>
#include <utility>
#include <vector>

namespace cefimpl {

class CefMenuModelImpl : public CefMenuModel {
public:
    explicit CefMenuModelImpl(int entries) {
        for (int i = 0; i < entries; ++i) m_items.emplace_back(100 + i, CefString());
    }
    int GetCount() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return static_cast<int>(m_items.size());
    }
    bool Clear() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items.clear();
        return true;
    }
    bool AddItem(int commandId, const CefString& label) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items.emplace_back(commandId, label);
        return true;
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<int, CefString>> m_items;

    IMPLEMENT_REFCOUNTING(CefMenuModelImpl);
};

}  // namespace cefimpl
