// What the download tests share: the fault-injecting update host run as a
// Unix process beside the test, a window that records the events a download
// thread sends and assembles the bytes they carry, and a runner that starts
// a thread and waits for it.
#pragma once

#include "afx/Afx.h"
#include "services/DownloadEvent.h"
#include "services/DownloadRequest.h"

#include <memory>
#include <string>
#include <vector>

// tests/update_host.py on a free loopback port, serving `files` (object path
// -> bytes). Its "ready" and request lines go to a log file, which Wine can
// read; deleting the file stops the host.
class UpdateHostProcess {
public:
    struct File {
        std::string path;
        std::string bytes;
    };
    // `options` are further command-line words, such as {"--fault", "404"}.
    UpdateHostProcess(const std::vector<File>& files, const std::vector<std::string>& options = {});
    ~UpdateHostProcess();
    UpdateHostProcess(const UpdateHostProcess&) = delete;
    UpdateHostProcess& operator=(const UpdateHostProcess&) = delete;

    // 0 when the host did not come up.
    int Port() const { return m_port; }
    // The Range header of each request, in order ("" when there was none).
    std::vector<std::string> Ranges() const;

private:
    std::string ReadLog() const;

    std::wstring m_logPath;
    std::vector<std::wstring> m_dataFiles;
    int m_port = 0;
};

// Bytes a test serves: a recognisable pattern of `size` bytes.
std::string PatternBytes(size_t size, unsigned seed = 1);

// One event as the window saw it.
struct SeenEvent {
    int id, tag, type, code, reserved, end, buffered, position, stepBytes;
    std::wstring path;
};

// A message-only window that records every WM_DOWNLOAD_EVENT and writes the
// bytes of types 4 and 5 at position - buffered, as the client does.
class EventRecorder {
public:
    EventRecorder();
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;

    HWND Window() const { return m_window; }
    const std::vector<SeenEvent>& Events() const { return m_events; }
    const std::string& Written() const { return m_written; }
    // The types in order, e.g. {1, 2, 3, 4, 5, 6}, without repeats of 3:
    // how many read steps a transfer takes depends on timing.
    std::vector<int> Types() const;
    bool Saw(int type, int code) const;
    void Clear() {
        m_events.clear();
        m_written.clear();
    }

    // Pumps messages until `done` holds or `seconds` pass; false then.
    template <class Condition>
    bool PumpUntil(Condition done, int seconds = 60) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > static_cast<DWORD>(seconds) * 1000) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            Pump();
        }
        return true;
    }
    void Pump();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Record(const DownloadEvent& event);

    HWND m_window = nullptr;
    std::vector<SeenEvent> m_events;
    std::string m_written;
};

// A download thread of `threadClass` (CHttpDownloadThread unless told),
// started suspended and resumed; requests are posted to it.
class DownloadThreadRun {
public:
    explicit DownloadThreadRun(CRuntimeClass* threadClass = nullptr);
    ~DownloadThreadRun();
    DownloadThreadRun(const DownloadThreadRun&) = delete;
    DownloadThreadRun& operator=(const DownloadThreadRun&) = delete;

    void Post(std::unique_ptr<DownloadRequest> request);
    // Asks the thread's loop to end, as its own quit message would.
    void Quit();
    bool Ended() const { return WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0; }
    // Pumps `recorder` until the thread has ended; false after `seconds`.
    bool WaitEnded(EventRecorder& recorder, int seconds = 60);

private:
    DWORD m_threadId = 0;
    HANDLE m_handle = nullptr;
};

// A Start request for `paths` on 127.0.0.1:`port` reporting to `window`.
std::unique_ptr<DownloadRequest> StartRequest(HWND window, int port,
                                              const std::vector<std::wstring>& paths,
                                              int bufferSize = 0, int rangeStart = 0,
                                              int rangeEnd = -1);
// A Pause, Stop, SetValue or GrowBuffer request.
std::unique_ptr<DownloadRequest> ControlRequest(HWND window, int type, int id, int operand = 0);
