// The client's go-ahead for a download. The first Continue starts it; a
// callback let go of without one means the download was refused.
#pragma once

#include "cef/CefClient.h"

#include <atomic>
#include <functional>

namespace cefimpl {

class CefBeforeDownloadCallbackImpl : public CefBeforeDownloadCallback {
public:
    using Start = std::function<void(const CefString& path)>;

    CefBeforeDownloadCallbackImpl(int browserId, Start start)
        : m_browserId(browserId), m_start(std::move(start)) {}
    ~CefBeforeDownloadCallbackImpl() override;

    void Continue(const CefString& downloadPath, bool showDialog) override;

private:
    const int m_browserId;
    const Start m_start;
    std::atomic<bool> m_continued{false};

    IMPLEMENT_REFCOUNTING(CefBeforeDownloadCallbackImpl);
};

}  // namespace cefimpl
