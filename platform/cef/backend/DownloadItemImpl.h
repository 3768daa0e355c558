// A download as the client sees it; the test page moves it along.
#pragma once

#include "cef/CefClient.h"
#include "cef/CefTesting.h"

#include <mutex>

namespace cefimpl {

class CefDownloadItemImpl : public CefDownloadItem {
public:
    CefDownloadItemImpl(const CefString& url, const CefString& suggestedName)
        : m_url(url), m_suggestedName(suggestedName) {}

    void Update(const cef_testing::DownloadProgress& progress);
    void SetFullPath(const CefString& path);
    // Canceled by the client: no longer in progress.
    void MarkCanceled();

    bool IsValid() override { return true; }
    bool IsInProgress() override;
    bool IsComplete() override;
    bool IsCanceled() override;
    int64_t GetCurrentSpeed() override;
    int GetPercentComplete() override;
    int64_t GetTotalBytes() override;
    int64_t GetReceivedBytes() override;
    CefString GetURL() override { return m_url; }
    CefString GetSuggestedFileName() override { return m_suggestedName; }
    CefString GetFullPath() override;

private:
    cef_testing::DownloadProgress State();

    const CefString m_url;
    const CefString m_suggestedName;
    std::mutex m_mutex;
    cef_testing::DownloadProgress m_progress;
    CefString m_fullPath;

    IMPLEMENT_REFCOUNTING(CefDownloadItemImpl);
};

}  // namespace cefimpl
