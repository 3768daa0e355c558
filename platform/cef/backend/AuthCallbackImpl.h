// The client's answer to an authentication challenge; the first answer
// counts and is recorded.
#pragma once

#include "cef/CefClient.h"

#include <atomic>

namespace cefimpl {

class CefAuthCallbackImpl : public CefAuthCallback {
public:
    explicit CefAuthCallbackImpl(int browserId) : m_browserId(browserId) {}

    void Continue(const CefString& username, const CefString& password) override;
    void Cancel() override;

private:
    const int m_browserId;
    std::atomic<bool> m_answered{false};

    IMPLEMENT_REFCOUNTING(CefAuthCallbackImpl);
};

}  // namespace cefimpl
