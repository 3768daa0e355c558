#include "cef/backend/AuthCallbackImpl.h"

#include "cef/backend/RecordLog.h"

namespace cefimpl {

void CefAuthCallbackImpl::Continue(const CefString& username, const CefString& password) {
    if (m_answered.exchange(true)) return;
    RecordLog::Add(m_browserId, "auth",
                   {u"continued", username.ToString16(), password.ToString16()});
}

void CefAuthCallbackImpl::Cancel() {
    if (m_answered.exchange(true)) return;
    RecordLog::Add(m_browserId, "auth", {u"canceled", u"", u""});
}

}  // namespace cefimpl
