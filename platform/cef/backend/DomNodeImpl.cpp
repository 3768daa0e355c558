#include "cef/backend/DomNodeImpl.h"

namespace cefimpl {

bool CefDOMNodeImpl::HasElementAttribute(const CefString& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attributes.count(name.ToString16()) != 0;
}

CefString CefDOMNodeImpl::GetElementAttribute(const CefString& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_attributes.find(name.ToString16());
    return it == m_attributes.end() ? CefString() : it->second;
}

bool CefDOMNodeImpl::SetElementAttribute(const CefString& name, const CefString& value) {
    if (!m_isElement || name.empty()) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_attributes[name.ToString16()] = value;
    return true;
}

}  // namespace cefimpl
