// DownloadEvent: what a download thread reports, sent synchronously as
// WM_DOWNLOAD_EVENT (wParam the record, lParam 0; the receiver returns 0).
// The record and the buffer it points to live on the download thread's
// stack and heap and are valid only during the send. The window writes
// `buffered` bytes from `buffer` at file offset position - buffered.
#pragma once

#include "afx/Afx.h"

#include <wininet.h>

constexpr UINT WM_DOWNLOAD_EVENT = WM_APP + 0xB5;

// Types 2 to 5 double as the replies to Pause, Stop, SetValue and
// GrowBuffer, which carry only id, type and code.
enum DownloadEventType : int {
    kEventStartRefused = 0,  // Start while the thread already has a task
    kEventConnect = 1,       // a connection sequence ended; code 200 or 500
    kEventHeaders = 2,       // response headers of a ranged request arrived
    kEventStep = 3,          // a read step ended with the buffer not full
    kEventBufferFull = 4,    // deliver the buffer (also held bytes at the end)
    kEventRangeDone = 5,     // the range is complete: deliver the rest
    kEventFinished = 6,      // no paths left; the thread ends
    kEventReadFailed = 7,    // a read failed, or reconnecting did
};

enum DownloadCode : int {
    kCodeOk = 0,
    kCodeHttpOk = 200,
    kCodeHttpPartial = 206,
    kCodeNoConnection = 500,
    kCodeNoSuchTask = 5003,
    kCodeHasTask = 5006,
    kCodeReadEndedEarly = 0x400000,
    kCodeReconnectFailed = 0x800000,
    // Event 2 for a response whose length or range end is out of the 32-bit
    // signed range or unreadable: WinInet's "invalid server response".
    kCodeBadLength = ERROR_HTTP_INVALID_SERVER_RESPONSE,
};

struct DownloadEvent {
    int id = 0;
    int tag = 0;
    int type = 0;
    int code = 0;
    int reserved = 0;
    int end = 0;       // one past the range's last byte
    int buffered = 0;  // bytes held at the start of `buffer`
    const BYTE* buffer = nullptr;
    CString path;
    int stepBytes = 0;   // bytes read in the latest read step that read any
    int position = 0;    // offset of the next byte to be read
    int stepMillis = 0;  // how long that step took since the one before
};
