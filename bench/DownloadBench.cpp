// Download throughput under Wine (bench/download.py runs it):
//   DownloadBench.exe thread <port> <object path> <output file>
//       the client's download thread with the update flow's buffer, each
//       delivery written at its offset as the game window writes it
//   DownloadBench.exe bare <port> <object path>
//       a bare WinInet loop of 4096-byte reads: the floor the read size sets
// Each prints one line: bytes, seconds, CPU seconds and peak memory.
#include "afx/Afx.h"
#include "services/HttpDownloadThread.h"
#include "services/UpdateRules.h"
#include "services/WriteAt.h"

#include <psapi.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {
double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return value(kernel) + value(user);
}

void Report(const char* what, long long bytes, double seconds, double cpu) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("%s bytes=%lld seconds=%.3f cpu=%.3f peak_working_set_mib=%.1f\n", what, bytes,
                seconds, cpu, memory.PeakWorkingSetSize / 1048576.0);
    std::fflush(stdout);
}

// ---- The client's thread and writes ---------------------------------------

struct Sink {
    std::wstring file;
    long long written = 0;
    bool finished = false;
};

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DOWNLOAD_EVENT) return DefWindowProcW(window, message, wParam, lParam);
    auto* sink = reinterpret_cast<Sink*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto& event = *reinterpret_cast<const DownloadEvent*>(wParam);
    if ((event.type == kEventBufferFull || event.type == kEventRangeDone) && event.buffered > 0) {
        WriteAt(sink->file.c_str(), event.buffer, static_cast<UINT>(event.buffered),
                static_cast<LONGLONG>(event.position) - event.buffered);
        sink->written += event.buffered;
    }
    if (event.type == kEventFinished || (event.type == kEventConnect && event.code != 200)) {
        sink->finished = true;
        PostQuitMessage(0);  // the loop below waits for posted messages only
    }
    return 0;
}

int RunThread(int port, const wchar_t* path, const wchar_t* output) {
    Sink sink;
    sink.file = output;
    DeleteFileW(output);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = SinkProc;
    windowClass.lpszClassName = L"DownloadBenchSink";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&sink));

    const double cpuBefore = CpuSeconds();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CHttpDownloadThread), THREAD_PRIORITY_NORMAL,
                                        0, CREATE_SUSPENDED);
    thread->ResumeThread();
    auto request = std::make_unique<DownloadRequest>();
    request->id = UpdateRules::kPackageDownload;
    request->type = kRequestStart;
    request->tag = UpdateRules::kDownloadTag;
    request->host = L"127.0.0.1";
    request->paths.emplace_back(path);
    request->port = port;
    request->notifyWindow = window;
    PostDownloadRequest(thread->m_nThreadID, std::move(request));
    auto grow = std::make_unique<DownloadRequest>();
    grow->id = UpdateRules::kPackageDownload;
    grow->type = kRequestGrowBuffer;
    grow->bufferSize = UpdateRules::kPackageBufferSize;
    grow->notifyWindow = window;
    PostDownloadRequest(thread->m_nThreadID, std::move(grow));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    QueryPerformanceCounter(&end);
    Report("thread", sink.written, Seconds(start, end), CpuSeconds() - cpuBefore);
    return 0;
}

// ---- The floor ---------------------------------------------------------------

int RunBare(int port, const wchar_t* path) {
    const double cpuBefore = CpuSeconds();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    HINTERNET session =
        InternetOpenW(L"DownloadBench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectW(session, L"127.0.0.1", static_cast<INTERNET_PORT>(port),
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    HINTERNET request = HttpOpenRequestW(connection, L"GET", path, L"HTTP/1.0", nullptr, nullptr,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 1);
    HttpAddRequestHeadersW(request, L"Range: bytes=0-\r\n", static_cast<DWORD>(-1),
                           HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    long long total = 0;
    if (HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
        static char block[4096];
        DWORD read = 0;
        while (InternetReadFile(request, block, sizeof(block), &read) && read > 0) total += read;
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
    QueryPerformanceCounter(&end);
    Report("bare", total, Seconds(start, end), CpuSeconds() - cpuBefore);
    return 0;
}
}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 5 && std::wstring(argv[1]) == L"thread") {
        return RunThread(_wtoi(argv[2]), argv[3], argv[4]);
    }
    if (argc == 4 && std::wstring(argv[1]) == L"bare") return RunBare(_wtoi(argv[2]), argv[3]);
    std::fprintf(stderr, "usage: DownloadBench thread|bare <port> <path> [output]\n");
    return 2;
}
