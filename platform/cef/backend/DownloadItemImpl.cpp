#include "cef/backend/DownloadItemImpl.h"

namespace cefimpl {

void CefDownloadItemImpl::Update(const cef_testing::DownloadProgress& progress) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress = progress;
}

void CefDownloadItemImpl::SetFullPath(const CefString& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fullPath = path;
}

void CefDownloadItemImpl::MarkCanceled() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.canceled = true;
    m_progress.inProgress = false;
    m_progress.speed = 0;
}

cef_testing::DownloadProgress CefDownloadItemImpl::State() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_progress;
}

bool CefDownloadItemImpl::IsInProgress() { return State().inProgress; }
bool CefDownloadItemImpl::IsComplete() { return State().complete; }
bool CefDownloadItemImpl::IsCanceled() { return State().canceled; }
int64_t CefDownloadItemImpl::GetCurrentSpeed() { return State().speed; }
int CefDownloadItemImpl::GetPercentComplete() { return State().percent; }
int64_t CefDownloadItemImpl::GetTotalBytes() { return State().total; }
int64_t CefDownloadItemImpl::GetReceivedBytes() { return State().received; }

CefString CefDownloadItemImpl::GetFullPath() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fullPath;
}

}  // namespace cefimpl
