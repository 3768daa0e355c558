#include "DownloadTestSupport.h"

#include "afx/WideText.h"
#include "layout/TextCodec.h"
#include "services/HttpDownloadThread.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {
// Files the Unix host and the Windows test both reach: /tmp is Z:\tmp.
std::wstring SharedName(const wchar_t* kind, const wchar_t* extension) {
    static int counter = 0;
    wchar_t name[128];
    swprintf(name, 128, L"plover-%ls-%lu-%lu-%d%ls", kind, GetCurrentProcessId(), GetTickCount(),
             ++counter, extension);
    return name;
}

std::wstring WindowsSide(const std::wstring& name) { return L"Z:\\tmp\\" + name; }
std::string UnixSide(const std::wstring& name) { return "/tmp/" + Utf16ToUtf8(ToU16(name)); }

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool StartUnixProcess(const std::string& commandLine) {
    std::wstring line = ToWide(Utf8ToUtf16(commandLine));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Wine starts a Unix program without a process handle to keep.
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    return true;
}

const wchar_t kRecorderClass[] = L"PloverDownloadRecorder";
}  // namespace

// ---- The update host ---------------------------------------------------------

UpdateHostProcess::UpdateHostProcess(const std::vector<File>& files,
                                     const std::vector<std::string>& options) {
    const std::wstring log = SharedName(L"host", L".log");
    m_logPath = WindowsSide(log);
    std::string command = std::string(PYTHON_EXE) + " " + UPDATE_HOST_SCRIPT +
                          " --port 0 --seconds 180 --log " + UnixSide(log);
    for (const File& file : files) {
        const std::wstring data = SharedName(L"data", L".bin");
        if (!WriteWhole(WindowsSide(data), file.bytes)) return;
        m_dataFiles.push_back(WindowsSide(data));
        command += " --file " + file.path + "=" + UnixSide(data);
    }
    for (const std::string& option : options) command += " " + option;
    if (!StartUnixProcess(command)) return;
    for (int wait = 0; wait < 400 && m_port == 0; ++wait) {
        const std::string text = ReadLog();
        if (text.compare(0, 6, "ready ") == 0 && text.find('\n') != std::string::npos) {
            m_port = std::atoi(text.c_str() + 6);
        } else {
            Sleep(50);
        }
    }
}

UpdateHostProcess::~UpdateHostProcess() {
    DeleteFileW(m_logPath.c_str());
    for (const std::wstring& data : m_dataFiles) DeleteFileW(data.c_str());
}

std::string UpdateHostProcess::ReadLog() const {
    std::ifstream in(m_logPath.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> UpdateHostProcess::Ranges() const {
    std::vector<std::string> ranges;
    std::istringstream lines(ReadLog());
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, 8, "request ") != 0) continue;
        const std::string key = "\"range\": \"";
        const size_t at = line.find(key);
        if (at == std::string::npos) {
            ranges.emplace_back();
            continue;
        }
        const size_t start = at + key.size();
        ranges.push_back(line.substr(start, line.find('"', start) - start));
    }
    return ranges;
}

std::string PatternBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

// ---- The recording window ------------------------------------------------------

EventRecorder::EventRecorder() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &EventRecorder::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    RegisterClassW(&windowClass);  // fails harmlessly once registered
    m_window = CreateWindowExW(0, kRecorderClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

EventRecorder::~EventRecorder() {
    if (m_window) DestroyWindow(m_window);
}

LRESULT CALLBACK EventRecorder::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_DOWNLOAD_EVENT) {
        auto* self = reinterpret_cast<EventRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) self->Record(*reinterpret_cast<const DownloadEvent*>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void EventRecorder::Record(const DownloadEvent& event) {
    m_events.push_back({event.id, event.tag, event.type, event.code, event.reserved, event.end,
                        event.buffered, event.position, event.stepBytes,
                        std::wstring(event.path.GetString())});
    const bool delivers = event.type == kEventBufferFull || event.type == kEventRangeDone;
    if (!delivers || event.buffered <= 0) return;
    const size_t offset = static_cast<size_t>(event.position - event.buffered);
    if (m_written.size() < offset + event.buffered) m_written.resize(offset + event.buffered);
    std::memcpy(&m_written[offset], event.buffer, static_cast<size_t>(event.buffered));
}

std::vector<int> EventRecorder::Types() const {
    std::vector<int> types;
    for (const SeenEvent& event : m_events) {
        if (event.type == kEventStep && !types.empty() && types.back() == kEventStep) continue;
        types.push_back(event.type);
    }
    return types;
}

bool EventRecorder::Saw(int type, int code) const {
    for (const SeenEvent& event : m_events) {
        if (event.type == type && event.code == code) return true;
    }
    return false;
}

void EventRecorder::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// ---- The thread -----------------------------------------------------------------

DownloadThreadRun::DownloadThreadRun(CRuntimeClass* threadClass) {
    CWinThread* thread =
        AfxBeginThread(threadClass ? threadClass : RUNTIME_CLASS(CHttpDownloadThread),
                       THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) return;
    // The object deletes itself (and closes its handle) when the thread ends.
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &m_handle,
                    SYNCHRONIZE, FALSE, 0);
    m_threadId = thread->m_nThreadID;
    thread->ResumeThread();
}

DownloadThreadRun::~DownloadThreadRun() {
    if (!m_handle) return;
    if (!Ended()) {
        Quit();
        // Sends of a thread still at work go nowhere once the window is gone.
        WaitForSingleObject(m_handle, 15000);
    }
    CloseHandle(m_handle);
}

void DownloadThreadRun::Post(std::unique_ptr<DownloadRequest> request) {
    PostDownloadRequest(m_threadId, std::move(request));
}

void DownloadThreadRun::Quit() { PostThreadMessageW(m_threadId, WM_QUIT, 0, 0); }

bool DownloadThreadRun::WaitEnded(EventRecorder& recorder, int seconds) {
    return recorder.PumpUntil([this] { return Ended(); }, seconds);
}

std::unique_ptr<DownloadRequest> StartRequest(HWND window, int port,
                                              const std::vector<std::wstring>& paths,
                                              int bufferSize, int rangeStart, int rangeEnd) {
    auto request = std::make_unique<DownloadRequest>();
    request->id = 7;
    request->type = kRequestStart;
    request->tag = 1000;
    request->host = L"127.0.0.1";
    for (const std::wstring& path : paths) request->paths.emplace_back(path.c_str());
    request->port = port;
    request->bufferSize = bufferSize;
    request->rangeStart = rangeStart;
    request->rangeEnd = rangeEnd;
    request->notifyWindow = window;
    return request;
}

std::unique_ptr<DownloadRequest> ControlRequest(HWND window, int type, int id, int operand) {
    auto request = std::make_unique<DownloadRequest>();
    request->id = id;
    request->type = type;
    request->notifyWindow = window;
    request->bufferSize = operand;
    request->value = operand;
    return request;
}
