// DownloadRequest: what the application asks of a download thread. Made
// with new and posted as WM_DOWNLOAD_REQUEST (wParam the record, lParam 0)
// to the thread's queue; from then on the thread owns it and deletes it
// once handled, whatever its type.
#pragma once

#include "afx/Afx.h"

#include <memory>
#include <vector>

constexpr UINT WM_DOWNLOAD_REQUEST = WM_APP + 0xB4;

enum DownloadRequestType : int {
    kRequestStart = 1,       // creates the thread's one task and connects
    kRequestPause = 2,       // the task stops transferring for good
    kRequestStop = 3,        // the task is paused and closed
    kRequestSetValue = 4,    // stores `value` in the task
    kRequestGrowBuffer = 5,  // a larger buffer (bufferSize), keeping held bytes
};

struct DownloadRequest {
    int id = 0;
    int type = 0;
    // Copied into every transfer event, so the window can tell its downloads
    // from others.
    int tag = 0;
    CString host;
    CString userName;  // empty: none
    CString password;  // empty: none
    std::vector<CString> paths;
    int port = 0;  // low 16 bits
    int bufferSize = 0;
    int rangeStart = 0;
    int rangeEnd = -1;  // negative: to the end
    HWND notifyWindow = nullptr;
    int value = 0;
};

// Posts `request` to the download thread `threadId`, which owns it from then
// on; when the post fails the record is freed here. False then.
inline bool PostDownloadRequest(DWORD threadId, std::unique_ptr<DownloadRequest> request) {
    if (!PostThreadMessageW(threadId, WM_DOWNLOAD_REQUEST, reinterpret_cast<WPARAM>(request.get()),
                            0)) {
        return false;
    }
    request.release();
    return true;
}
