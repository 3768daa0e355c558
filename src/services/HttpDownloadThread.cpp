#include "services/HttpDownloadThread.h"

#include "afx/InternetException.h"
#include "afx/WideText.h"
#include "services/ContentLength.h"
#include "services/TransferRules.h"

namespace {
constexpr int kConnectAttempts = 5;
constexpr DWORD kRetryPauseMillis = 1000;
// Always from the server, and never into WinInet's cache: the bytes go to
// the caller's file, so a cache entry would only be a second copy of every
// package on disk.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

bool ConnectSucceeded(int result) { return result == kCodeHttpOk || result == kCodeHttpPartial; }
}  // namespace

IMPLEMENT_DYNCREATE(CHttpDownloadThread, CWinThread)

BEGIN_MESSAGE_MAP(CHttpDownloadThread, CWinThread)
ON_THREAD_MESSAGE(WM_DOWNLOAD_REQUEST, OnDownloadRequest)
END_MESSAGE_MAP()

CHttpDownloadThread::~CHttpDownloadThread() = default;

BOOL CHttpDownloadThread::InitInstance() { return TRUE; }

BOOL CHttpDownloadThread::OnIdle(LONG count) {
    const BOOL base = CWinThread::OnIdle(count);
    BOOL step = FALSE;
    try {
        step = Step();
    } catch (...) {
        // Nothing leaves the thread; the step is simply over.
    }
    return base || step;
}

int CHttpDownloadThread::ExitInstance() {
    if (m_task && m_task->buffered > 0) {
        DownloadEvent held = TaskEvent(kEventBufferFull, kCodeOk, true);
        Send(m_task->notifyWindow, held);
    }
    if (m_task) m_task->buffered = 0;
    m_task.reset();
    return CWinThread::ExitInstance();
}

// ---- Requests ---------------------------------------------------------------

void CHttpDownloadThread::OnDownloadRequest(WPARAM wParam, LPARAM) {
    std::unique_ptr<DownloadRequest> request(reinterpret_cast<DownloadRequest*>(wParam));
    if (!request) return;
    try {
        switch (request->type) {
            case kRequestStart:
                Start(*request);
                break;
            case kRequestPause:
            case kRequestStop:
            case kRequestSetValue:
                Control(*request);
                break;
            case kRequestGrowBuffer:
                GrowBuffer(*request);
                break;
            default:
                break;
        }
    } catch (...) {
        // Out of memory for a buffer, say: the request is dropped.
    }
}

void CHttpDownloadThread::Start(const DownloadRequest& request) {
    if (m_task) {
        // Even a closed task is never replaced.
        DownloadEvent refused;
        refused.id = request.id;
        refused.tag = request.tag;
        refused.type = kEventStartRefused;
        refused.code = kCodeHasTask;
        Send(request.notifyWindow, refused);
        return;
    }
    m_task = std::make_unique<DownloadTask>(request);
    if (m_task->paths.empty()) return;
    const int result = ConnectWithRetries();
    if (ConnectSucceeded(result)) m_task->state |= DownloadTask::Connected;
    DownloadEvent connected = TaskEvent(kEventConnect, result, false);
    Send(m_task->notifyWindow, connected);
    if (ConnectSucceeded(result)) return;
    // No sixth attempt: the thread ends without event 6.
    m_task->CloseAll();
    EndThread();
}

void CHttpDownloadThread::Control(const DownloadRequest& request) {
    const int replyType = request.type;  // 2, 3 or 4, as the request
    if (!m_task || m_task->id != request.id) {
        Reply(request.notifyWindow, request.id, replyType, kCodeNoSuchTask);
        return;
    }
    if (request.type == kRequestPause) m_task->state |= DownloadTask::PauseRequested;
    if (request.type == kRequestStop) m_task->state |= DownloadTask::StopRequested;
    if (request.type == kRequestSetValue) m_task->value = request.value;
    Reply(m_task->notifyWindow, request.id, replyType, kCodeOk);
}

void CHttpDownloadThread::GrowBuffer(const DownloadRequest& request) {
    if (!m_task || m_task->id != request.id) {
        Reply(request.notifyWindow, request.id, kEventRangeDone, kCodeNoSuchTask);
        return;
    }
    m_task->GrowBuffer(request.bufferSize);
}

// ---- Transfer ---------------------------------------------------------------

BOOL CHttpDownloadThread::Step() {
    if (!m_task) return FALSE;
    DownloadTask& task = *m_task;
    if (task.state & DownloadTask::PauseRequested) {
        task.state &= ~(DownloadTask::Receiving | DownloadTask::PauseRequested);
        task.state |= DownloadTask::Paused;
        return FALSE;
    }
    if (task.state & DownloadTask::StopRequested) {
        task.state &= ~(DownloadTask::Receiving | DownloadTask::StopRequested);
        task.state |= DownloadTask::Paused;
        task.CloseAll();
        return FALSE;
    }
    // A pause that lands between two ranges or during a reconnection holds
    // too: nothing is requested or reconnected while paused.
    if (task.state & DownloadTask::Paused) return FALSE;
    if (task.state & DownloadTask::Reconnect) return ReconnectStep();
    if (task.state & DownloadTask::Connected) return RequestStep();
    if (task.state & DownloadTask::Receiving) {
        ReadStep();
        return TRUE;
    }
    return FALSE;
}

int CHttpDownloadThread::ConnectWithRetries() {
    int result = kCodeNoConnection;
    for (int attempt = 1; attempt <= kConnectAttempts; ++attempt) {
        m_task->connection.reset();
        result = Connect();
        if (ConnectSucceeded(result)) break;
        Sleep(kRetryPauseMillis);
    }
    return result;
}

int CHttpDownloadThread::Connect() {
    if (!m_task) return kCodeNoConnection;
    DownloadTask& task = *m_task;
    constexpr unsigned kBusy = DownloadTask::Receiving | DownloadTask::PauseRequested |
                               DownloadTask::Paused | DownloadTask::StopRequested;
    if (task.state & kBusy) return kCodeHttpOk;
    try {
        task.connection.reset(task.session->GetHttpConnection(
            task.host, 0, static_cast<INTERNET_PORT>(task.port & 0xFFFF),
            task.userName.IsEmpty() ? nullptr : task.userName.GetString(),
            task.password.IsEmpty() ? nullptr : task.password.GetString()));
    } catch (CInternetException* error) {
        error->Delete();
        return kCodeNoConnection;
    }
    return task.connection ? kCodeHttpOk : kCodeNoConnection;
}

BOOL CHttpDownloadThread::ReconnectStep() {
    DownloadTask& task = *m_task;
    const int result = ConnectWithRetries();
    if (ConnectSucceeded(result)) {
        task.state = DownloadTask::Connected;
        DownloadEvent connected = TaskEvent(kEventConnect, result, false);
        Send(task.notifyWindow, connected);
        return TRUE;
    }
    task.state = DownloadTask::Failed;
    DownloadEvent failed = TaskEvent(kEventReadFailed, kCodeReconnectFailed, false);
    Send(task.notifyWindow, failed);
    task.CloseAll();
    EndThread();
    return FALSE;
}

BOOL CHttpDownloadThread::RequestStep() {
    DownloadTask& task = *m_task;
    if (task.paths.empty()) {
        DownloadEvent finished;
        finished.id = task.id;
        finished.tag = task.tag;
        finished.type = kEventFinished;
        finished.buffered = task.buffered;
        Send(task.notifyWindow, finished);
        task.CloseAll();
        EndThread();
        return FALSE;
    }
    try {
        const CString path = task.paths.front();
        if (!task.connection) AfxThrowInternetException(1, ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        task.CloseFile();
        task.file.reset(task.connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, path, nullptr,
                                                     1, nullptr, nullptr, kRequestFlags));
        task.buffered = 0;
        task.position = 0;
        task.stepBytes = 0;
        task.stepMillis = 0;
        task.end = 0;
        const std::wstring range =
            ToWide(TransferRules::RangeHeader(task.rangeStart, task.rangeEnd));
        task.file->AddRequestHeaders(range.c_str(), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
        task.file->SendRequest();
        DWORD status = 0;
        task.file->QueryInfoStatusCode(status);
        CString headers;
        if (!task.file->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, headers)) {
            task.CloseAll();
            return FALSE;
        }
        const bool statusOk = status == kCodeHttpOk || status == kCodeHttpPartial;
        std::optional<int32_t> end;
        if (const auto length = ContentLength::FromHeaders(ToU16(headers.Str()))) {
            end = ContentLength::RangeEnd(task.rangeStart, *length);
        }
        if (end) {
            task.end = *end;
            task.position = task.rangeStart;
        }
        DownloadEvent headersEvent = TaskEvent(kEventHeaders, kCodeOk, true);
        if (statusOk && end) {
            task.state = DownloadTask::Receiving;
        } else {
            // Like a missing file: the path is dropped and the next one (or
            // the end) follows. A length that does not fit the 32-bit
            // offsets would otherwise deliver bytes at wrong places.
            headersEvent.code = statusOk ? kCodeBadLength : static_cast<int>(status);
            task.paths.pop_front();
            if (!end) task.CloseFile();
        }
        Send(task.notifyWindow, headersEvent);
        return TRUE;
    } catch (CInternetException* error) {
        error->Delete();
        task.CloseAll();
        return FALSE;
    } catch (...) {
        return FALSE;
    }
}

void CHttpDownloadThread::ReadStep() {
    DownloadTask& task = *m_task;
    if (!task.file) return;
    DWORD now = GetTickCount();
    int readThisStep = 0;
    int errorCode = kCodeOk;
    for (;;) {
        // A step that starts within a millisecond of the last one's end
        // reads nothing, so a fast loop cannot starve the request queue.
        if (now - m_lastTick <= 1) break;
        const int count =
            TransferRules::NextReadSize(task.bufferSize, task.buffered, task.position, task.end);
        if (count == 0) break;
        UINT read = 0;
        try {
            read = task.file->Read(task.buffer.get() + task.buffered, static_cast<UINT>(count));
        } catch (CInternetException* error) {
            // The next request starts again at the unchanged range start.
            errorCode = static_cast<int>(error->m_dwError);
            error->Delete();
            break;
        }
        if (read > 0) {
            task.position += static_cast<int>(read);
            task.buffered += static_cast<int>(read);
            readThisStep += static_cast<int>(read);
            now = GetTickCount();
            task.stepMillis = static_cast<int>(now - m_lastTick);
            task.stepBytes = readThisStep;
            continue;
        }
        // The connection ended before the range did: resume where it broke.
        Sleep(kRetryPauseMillis);
        now = GetTickCount();
        errorCode = kCodeReadEndedEarly;
        task.rangeStart = task.position;
        task.state = (task.state & ~DownloadTask::Connected) | DownloadTask::Reconnect;
        break;
    }
    m_lastTick = now;
    FinishReadStep(errorCode);
}

void CHttpDownloadThread::FinishReadStep(int errorCode) {
    DownloadTask& task = *m_task;
    if (errorCode == kCodeReadEndedEarly && task.buffered > 0) {
        // The resumed request starts at the current position and empties
        // the buffer; what it holds goes out first, at its own offsets.
        DownloadEvent held = TaskEvent(kEventBufferFull, kCodeOk, true);
        Send(task.notifyWindow, held);
        task.buffered = 0;
    }
    DownloadEvent event = TaskEvent(errorCode ? kEventReadFailed : kEventStep, errorCode, true);
    if (task.buffered == task.bufferSize) {
        event.type = kEventBufferFull;
        Send(task.notifyWindow, event);
        task.buffered = 0;
    } else if (task.position == task.end) {
        event.type = kEventRangeDone;
        Send(task.notifyWindow, event);
        task.state = DownloadTask::Connected;
        if (!task.paths.empty()) task.paths.pop_front();
        task.buffered = 0;
        task.CloseFile();
    } else {
        Send(task.notifyWindow, event);
        if (errorCode) {
            // The connection stays until the reconnection replaces it.
            task.state = DownloadTask::Reconnect;
            task.CloseFile();
        }
    }
}

void CHttpDownloadThread::EndThread() { PostQuitMessage(0); }

// ---- Events -----------------------------------------------------------------

DownloadEvent CHttpDownloadThread::TaskEvent(int type, int code, bool withPath) const {
    const DownloadTask& task = *m_task;
    DownloadEvent event;
    event.id = task.id;
    event.tag = task.tag;
    event.type = type;
    event.code = code;
    event.end = task.end;
    event.buffered = task.buffered;
    event.buffer = task.buffer.get();
    if (withPath && !task.paths.empty()) event.path = task.paths.front();
    event.stepBytes = task.stepBytes;
    event.position = task.position;
    event.stepMillis = task.stepMillis;
    return event;
}

void CHttpDownloadThread::Reply(HWND window, int id, int type, int code) {
    DownloadEvent reply;
    reply.id = id;
    reply.type = type;
    reply.code = code;
    Send(window, reply);
}

void CHttpDownloadThread::Send(HWND window, DownloadEvent& event) {
    SendMessageW(window, WM_DOWNLOAD_EVENT, reinterpret_cast<WPARAM>(&event), 0);
}
