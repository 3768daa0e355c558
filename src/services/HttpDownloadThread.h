// CHttpDownloadThread: a worker thread that fetches a list of paths from
// one HTTP server with byte-range requests into a buffer and hands the
// bytes, one buffer-load at a time, to a window that writes them. It never
// touches the disk. One thread serves one download id and holds at most one
// task; it is commanded by DownloadRequest records posted to its queue and
// reports by DownloadEvent records sent to the window the Start named.
//
// The transfer advances in the message loop's idle processing, one step
// per idle call, so requests are handled between read steps. Start it with
// AfxBeginThread(RUNTIME_CLASS(CHttpDownloadThread), ..., CREATE_SUSPENDED),
// resume it, then post Start; the object deletes itself when the thread
// ends (after event 6, or after connecting or reconnecting failed).
#pragma once

#include "afx/Afx.h"
#include "services/DownloadEvent.h"
#include "services/DownloadRequest.h"
#include "services/DownloadTask.h"

#include <memory>

class CHttpDownloadThread : public CWinThread {
    DECLARE_DYNCREATE(CHttpDownloadThread)

public:
    CHttpDownloadThread() = default;
    ~CHttpDownloadThread() override;

    BOOL InitInstance() override;
    // The base class's answer OR one transfer step's.
    BOOL OnIdle(LONG count) override;
    // Delivers bytes still held (event 4), then drops the task.
    int ExitInstance() override;

protected:
    // One connection attempt: 200 when a connection object was obtained,
    // 500 when not (or without a task). Also 200, doing nothing, while a
    // body is being read or a pause or stop is pending.
    virtual int Connect();

    void OnDownloadRequest(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Requests.
    void Start(const DownloadRequest& request);
    void Control(const DownloadRequest& request);
    void GrowBuffer(const DownloadRequest& request);

    // Transfer steps; each returns whether more work is pending. A read
    // step always leaves more: the next one delivers, reads on or moves to
    // the next path.
    BOOL Step();
    BOOL ReconnectStep();
    BOOL RequestStep();
    void ReadStep();
    // Up to five attempts, 1000 ms after each failure; the last result.
    int ConnectWithRetries();
    // The final stage of a read step: deliver or report what it read.
    void FinishReadStep(int errorCode);
    void EndThread();

    DownloadEvent TaskEvent(int type, int code, bool withPath) const;
    static void Reply(HWND window, int id, int type, int code);
    static void Send(HWND window, DownloadEvent& event);

    std::unique_ptr<DownloadTask> m_task;
    // Tick count at the end of the previous read step.
    DWORD m_lastTick = 0;
};
