#include "cef/backend/FrameImpl.h"

#include "cef/backend/BrowserHostImpl.h"

namespace cefimpl {

FrameImpl::FrameImpl(CefRefPtr<BrowserHostImpl> browser, int index, int64_t id,
                     const CefString& name)
    : m_index(index), m_id(id), m_name(name), m_browser(browser) {}

FrameImpl::~FrameImpl() = default;

void FrameImpl::SetUrl(const CefString& url) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_url = url;
}

void FrameImpl::Detach() {
    CefRefPtr<BrowserHostImpl> browser;
    std::lock_guard<std::mutex> lock(m_mutex);
    browser = m_browser;
    m_browser = nullptr;
}

CefRefPtr<BrowserHostImpl> FrameImpl::Browser() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_browser;
}

bool FrameImpl::IsValid() {
    CefRefPtr<BrowserHostImpl> browser = Browser();
    return browser && !browser->IsClosed();
}

bool FrameImpl::IsFocused() {
    CefRefPtr<BrowserHostImpl> browser = Browser();
    return browser && browser->FocusedFrameIndex() == m_index;
}

CefString FrameImpl::GetURL() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_url;
}

CefRefPtr<CefBrowser> FrameImpl::GetBrowser() { return Browser().get(); }

void FrameImpl::LoadURL(const CefString& url) {
    if (CefRefPtr<BrowserHostImpl> browser = Browser()) browser->RequestLoad(m_index, url);
}

}  // namespace cefimpl
