// Lets the client cancel a running download.
#pragma once

#include "cef/CefClient.h"

#include <atomic>

namespace cefimpl {

class CefDownloadItemCallbackImpl : public CefDownloadItemCallback {
public:
    void Cancel() override { m_canceled = true; }
    bool IsCanceled() const { return m_canceled; }

private:
    std::atomic<bool> m_canceled{false};

    IMPLEMENT_REFCOUNTING(CefDownloadItemCallbackImpl);
};

}  // namespace cefimpl
