#include "cef/backend/BeforeDownloadCallbackImpl.h"

#include "cef/backend/RecordLog.h"

namespace cefimpl {

CefBeforeDownloadCallbackImpl::~CefBeforeDownloadCallbackImpl() {
    if (!m_continued) RecordLog::Add(m_browserId, "download", {u"", u"refused"});
}

void CefBeforeDownloadCallbackImpl::Continue(const CefString& downloadPath, bool showDialog) {
    if (m_continued.exchange(true)) return;
    RecordLog::Add(m_browserId, "download",
                   {downloadPath.ToString16(), showDialog ? u"dialog" : u"no-dialog"});
    m_start(downloadPath);
}

}  // namespace cefimpl
