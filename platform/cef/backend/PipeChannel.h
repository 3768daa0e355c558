// One end of the named pipe between the browser process and a render
// process. A thread of its own does all the pipe's I/O, overlapped, so that
// a pending read never holds up a write and no caller ever waits on the
// peer: Send() only queues. Incoming bytes are cut into frames (see
// WireProtocol.h) and handed to the listener on the channel thread.
#pragma once

#include "cef/backend/UniqueHandle.h"

#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace cefimpl {

struct ChannelEnd {
    enum Kind { kStopped, kPeerGone, kProtocolError, kConnectFailed } kind = kStopped;
    std::string detail;
};

class PipeChannel {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // Channel thread. A non-empty result names what is wrong with the
        // frame; the channel then closes.
        virtual std::string OnFrame(const std::string& payload) = 0;
        // Channel thread, once, after the last frame.
        virtual void OnClosed(const ChannelEnd& end) = 0;
    };

    // Browser side: a new pipe that one render process will connect to.
    static std::unique_ptr<PipeChannel> Listen(const std::wstring& name, Listener& listener);
    // Render side: the browser process's pipe.
    static std::unique_ptr<PipeChannel> Connect(const std::wstring& name, Listener& listener);
    ~PipeChannel() { Stop(); }
    PipeChannel(const PipeChannel&) = delete;
    PipeChannel& operator=(const PipeChannel&) = delete;

    // Starts the channel thread. `peer`, when given, is the process at the
    // other end: its death ends the wait for a connection.
    bool Start(HANDLE peer = nullptr);
    // Queues whole frames (or any bytes) for writing; false once closed.
    bool Send(std::string bytes);
    bool IsOpen() const;
    // True once the channel thread has ended (OnClosed has run), or could
    // not start.
    bool HasEnded() const;
    // Closes the channel and waits for its thread.
    void Stop();

private:
    PipeChannel(UniqueHandle pipe, bool waitForClient, Listener& listener);
    static DWORD WINAPI ThreadMain(void* self);
    ChannelEnd Serve();
    bool WaitForClient(ChannelEnd& end);
    bool StartRead(ChannelEnd& end);
    bool FinishRead(ChannelEnd& end);
    bool CutFrames(ChannelEnd& end);
    void StartWrite();
    bool FinishWrite(ChannelEnd& end);
    void CancelPendingIo();

    UniqueHandle m_pipe;
    const bool m_waitForClient;
    Listener& m_listener;
    HANDLE m_peer = nullptr;
    UniqueHandle m_thread;
    DWORD m_threadId = 0;
    UniqueHandle m_stopEvent;
    UniqueHandle m_wakeEvent;
    UniqueHandle m_readEvent;
    UniqueHandle m_writeEvent;
    OVERLAPPED m_readOverlapped = {};
    OVERLAPPED m_writeOverlapped = {};
    bool m_reading = false;
    bool m_writing = false;
    char m_readBuffer[64 * 1024];
    std::string m_input;
    std::string m_writeData;  // the frame being written, owned until done

    mutable std::mutex m_mutex;
    bool m_open = true;
    bool m_ended = false;
    std::deque<std::string> m_outgoing;
};

}  // namespace cefimpl
