#include "cef/backend/PipeChannel.h"

#include "cef/backend/WireProtocol.h"

namespace cefimpl {
namespace {

constexpr DWORD kPipeBufferBytes = 64 * 1024;
// A render process that has not connected by then is not going to.
constexpr DWORD kConnectTimeoutMs = 20000;

UniqueHandle NewEvent(bool manualReset) {
    return UniqueHandle(CreateEventW(nullptr, manualReset, FALSE, nullptr));
}

}  // namespace

PipeChannel::PipeChannel(UniqueHandle pipe, bool waitForClient, Listener& listener)
    : m_pipe(std::move(pipe)), m_waitForClient(waitForClient), m_listener(listener) {
    m_stopEvent = NewEvent(true);
    m_wakeEvent = NewEvent(false);
    m_readEvent = NewEvent(true);
    m_writeEvent = NewEvent(true);
    m_readOverlapped.hEvent = m_readEvent.get();
    m_writeOverlapped.hEvent = m_writeEvent.get();
}

std::unique_ptr<PipeChannel> PipeChannel::Listen(const std::wstring& name, Listener& listener) {
    UniqueHandle pipe(CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, kPipeBufferBytes, kPipeBufferBytes, 0,
        nullptr));
    if (!pipe) return nullptr;
    return std::unique_ptr<PipeChannel>(new PipeChannel(std::move(pipe), true, listener));
}

std::unique_ptr<PipeChannel> PipeChannel::Connect(const std::wstring& name, Listener& listener) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        UniqueHandle pipe(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
        if (pipe) {
            return std::unique_ptr<PipeChannel>(new PipeChannel(std::move(pipe), false, listener));
        }
        if (GetLastError() != ERROR_PIPE_BUSY) return nullptr;
        WaitNamedPipeW(name.c_str(), 100);
    }
    return nullptr;
}

bool PipeChannel::Start(HANDLE peer) {
    if (!m_stopEvent || !m_wakeEvent || !m_readEvent || !m_writeEvent) return false;
    m_peer = peer;
    DWORD threadId = 0;
    m_thread.reset(CreateThread(nullptr, 0, &PipeChannel::ThreadMain, this, 0, &threadId));
    m_threadId = threadId;
    if (m_thread) return true;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open = false;
    m_ended = true;
    return false;
}

bool PipeChannel::Send(std::string bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_open) return false;
    m_outgoing.push_back(std::move(bytes));
    SetEvent(m_wakeEvent.get());
    return true;
}

bool PipeChannel::IsOpen() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open;
}

bool PipeChannel::HasEnded() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ended;
}

void PipeChannel::Stop() {
    // From its own listener the channel can only be told to stop.
    if (!m_thread || GetCurrentThreadId() == m_threadId) {
        if (m_stopEvent) SetEvent(m_stopEvent.get());
        return;
    }
    SetEvent(m_stopEvent.get());
    // The channel thread waits on nobody, so a plain wait cannot deadlock.
    WaitForSingleObject(m_thread.get(), INFINITE);
    m_thread.reset();
}

DWORD WINAPI PipeChannel::ThreadMain(void* self) {
    auto* channel = static_cast<PipeChannel*>(self);
    ChannelEnd end = channel->Serve();
    {
        std::lock_guard<std::mutex> lock(channel->m_mutex);
        channel->m_open = false;
        channel->m_outgoing.clear();
    }
    channel->CancelPendingIo();
    channel->m_listener.OnClosed(end);
    std::lock_guard<std::mutex> lock(channel->m_mutex);
    channel->m_ended = true;
    return 0;
}

// ---- Connection -------------------------------------------------------------

bool PipeChannel::WaitForClient(ChannelEnd& end) {
    OVERLAPPED overlapped = {};
    UniqueHandle connected = NewEvent(true);
    overlapped.hEvent = connected.get();
    if (ConnectNamedPipe(m_pipe.get(), &overlapped) || GetLastError() == ERROR_PIPE_CONNECTED) {
        return true;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        end = ChannelEnd{ChannelEnd::kConnectFailed, "the pipe does not accept connections"};
        return false;
    }
    HANDLE waits[] = {connected.get(), m_stopEvent.get(), m_peer};
    DWORD count = m_peer ? 3 : 2;
    DWORD result = WaitForMultipleObjects(count, waits, FALSE, kConnectTimeoutMs);
    DWORD ignored = 0;
    if (result == WAIT_OBJECT_0 &&
        GetOverlappedResult(m_pipe.get(), &overlapped, &ignored, FALSE)) {
        return true;
    }
    CancelIoEx(m_pipe.get(), &overlapped);
    GetOverlappedResult(m_pipe.get(), &overlapped, &ignored, TRUE);
    if (result == WAIT_OBJECT_0 + 1) {
        end = ChannelEnd{ChannelEnd::kStopped, "stopped"};
    } else if (result == WAIT_OBJECT_0 + 2) {
        end = ChannelEnd{ChannelEnd::kConnectFailed, "the render process ended before connecting"};
    } else {
        end = ChannelEnd{ChannelEnd::kConnectFailed, "the render process did not connect"};
    }
    return false;
}

// ---- The I/O loop -------------------------------------------------------------

ChannelEnd PipeChannel::Serve() {
    ChannelEnd end;
    if (m_waitForClient && !WaitForClient(end)) return end;
    if (!StartRead(end)) return end;
    for (;;) {
        if (!m_writing) StartWrite();
        HANDLE waits[] = {m_stopEvent.get(), m_readEvent.get(), m_wakeEvent.get(),
                          m_writeEvent.get()};
        DWORD count = m_writing ? 4 : 3;
        DWORD result = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) return ChannelEnd{ChannelEnd::kStopped, "stopped"};
        if (result == WAIT_OBJECT_0 + 1) {
            if (!FinishRead(end) || !CutFrames(end) || !StartRead(end)) return end;
        } else if (result == WAIT_OBJECT_0 + 3) {
            if (!FinishWrite(end)) return end;
        } else if (result != WAIT_OBJECT_0 + 2) {
            return ChannelEnd{ChannelEnd::kPeerGone, "wait failed"};
        }
    }
}

bool PipeChannel::StartRead(ChannelEnd& end) {
    // Completion (at once or later) signals the event either way.
    if (!ReadFile(m_pipe.get(), m_readBuffer, sizeof m_readBuffer, nullptr, &m_readOverlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        end = ChannelEnd{ChannelEnd::kPeerGone, "broken pipe"};
        return false;
    }
    m_reading = true;
    return true;
}

bool PipeChannel::FinishRead(ChannelEnd& end) {
    DWORD bytes = 0;
    m_reading = false;
    if (!GetOverlappedResult(m_pipe.get(), &m_readOverlapped, &bytes, FALSE)) {
        end = ChannelEnd{ChannelEnd::kPeerGone, "broken pipe"};
        return false;
    }
    m_input.append(m_readBuffer, bytes);
    return true;
}

bool PipeChannel::CutFrames(ChannelEnd& end) {
    size_t offset = 0;
    while (m_input.size() - offset >= 4) {
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) {
            length |= static_cast<uint32_t>(static_cast<unsigned char>(m_input[offset + i]))
                      << (8 * i);
        }
        // Rejected before a byte of it is buffered: a hostile length must
        // cost nothing.
        if (length == 0 || length > kMaxFrameBytes) {
            end = ChannelEnd{ChannelEnd::kProtocolError, "frame length " + std::to_string(length) +
                                                             " outside 1.." +
                                                             std::to_string(kMaxFrameBytes)};
            return false;
        }
        if (m_input.size() - offset - 4 < length) {
            m_input.reserve(offset + 4 + length);
            break;
        }
        std::string error = m_listener.OnFrame(m_input.substr(offset + 4, length));
        offset += 4 + length;
        if (!error.empty()) {
            end = ChannelEnd{ChannelEnd::kProtocolError, error};
            return false;
        }
    }
    m_input.erase(0, offset);
    return true;
}

void PipeChannel::StartWrite() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_outgoing.empty()) return;
        m_writeData = std::move(m_outgoing.front());
        m_outgoing.pop_front();
    }
    if (!WriteFile(m_pipe.get(), m_writeData.data(), static_cast<DWORD>(m_writeData.size()),
                   nullptr, &m_writeOverlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        // The read side notices the broken pipe and ends the channel.
        m_writeData.clear();
        return;
    }
    m_writing = true;
}

bool PipeChannel::FinishWrite(ChannelEnd& end) {
    DWORD bytes = 0;
    m_writing = false;
    if (!GetOverlappedResult(m_pipe.get(), &m_writeOverlapped, &bytes, FALSE)) {
        end = ChannelEnd{ChannelEnd::kPeerGone, "broken pipe"};
        return false;
    }
    if (bytes < m_writeData.size()) {
        // A short write: the rest goes out next, before any other frame.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_outgoing.push_front(m_writeData.substr(bytes));
    }
    m_writeData.clear();
    return true;
}

void PipeChannel::CancelPendingIo() {
    DWORD ignored = 0;
    // The buffers belong to the operations until they have completed.
    if (m_reading) {
        CancelIoEx(m_pipe.get(), &m_readOverlapped);
        GetOverlappedResult(m_pipe.get(), &m_readOverlapped, &ignored, TRUE);
        m_reading = false;
    }
    if (m_writing) {
        CancelIoEx(m_pipe.get(), &m_writeOverlapped);
        GetOverlappedResult(m_pipe.get(), &m_writeOverlapped, &ignored, TRUE);
        m_writing = false;
    }
}

}  // namespace cefimpl
