#include "cef/backend/ProcessMessageImpl.h"

namespace cefimpl {

CefRefPtr<CefProcessMessage> CefProcessMessageImpl::Copy() {
    return new CefProcessMessageImpl(m_name, new CefListValueImpl(m_arguments->Entries()));
}

}  // namespace cefimpl

CefRefPtr<CefProcessMessage> CefProcessMessage::Create(const CefString& name) {
    return new cefimpl::CefProcessMessageImpl(name, new cefimpl::CefListValueImpl());
}
