// DownloadTask: a download thread's one transfer. It holds what the Start
// request named, the buffer that gathers one delivery, the counters the
// events report, and the WinInet session, connection and request it owns.
#pragma once

#include "afx/HttpConnection.h"
#include "afx/HttpFile.h"
#include "afx/InternetSession.h"
#include "services/DownloadRequest.h"

#include <deque>
#include <memory>

class DownloadTask {
public:
    // Several bits may be set at once; the idle step tests them in a fixed
    // order.
    enum State : unsigned {
        Connected = 0x10000,       // the next step requests the head path
        Receiving = 0x20000,       // a response body is being read
        PauseRequested = 0x40000,  // a Pause request arrived
        Paused = 0x80000,          // nothing further happens
        StopRequested = 0x100000,  // a Stop request arrived
        Reconnect = 0x400000,      // a read failed; the next step reconnects
        Failed = 0x800000,         // reconnecting failed five times
    };

    // Copies the request's fields and opens the session; the buffer follows
    // the start size rule.
    explicit DownloadTask(const DownloadRequest& start);
    DownloadTask(const DownloadTask&) = delete;
    DownloadTask& operator=(const DownloadTask&) = delete;

    // Replaces the buffer by a larger one, keeping the held bytes; false
    // (nothing changed) unless the grow rule allows `newSize`.
    bool GrowBuffer(int newSize);
    // Closes the request, the connection and the session for good and
    // empties the state. Buffer, counters and paths stay.
    void CloseAll();
    void CloseFile();

    int id;
    int tag;
    CString host;
    int port;
    CString userName;
    CString password;
    int rangeStart;
    int rangeEnd;
    int value;
    HWND notifyWindow;
    std::deque<CString> paths;  // the head is the path being fetched

    std::unique_ptr<BYTE[]> buffer;
    int bufferSize;
    unsigned state = 0;

    std::unique_ptr<CInternetSession> session;
    std::unique_ptr<CHttpConnection> connection;
    std::unique_ptr<CHttpFile> file;

    int buffered = 0;
    int position = 0;
    int stepBytes = 0;
    int stepMillis = 0;
    int end = 0;
};
