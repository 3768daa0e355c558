#include "cef/backend/V8ContextImpl.h"

namespace cefimpl {

void CefV8ContextImpl::Invalidate() {
    m_valid = false;
    m_global->ClearProperties();
}

}  // namespace cefimpl
