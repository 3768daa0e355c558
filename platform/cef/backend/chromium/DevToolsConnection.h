// One WebSocket connection to a browser's DevTools port, carrying the
// protocol's session: a reader thread decodes what the browser sends and
// dispatches it to the session (responses, events), and commands go out
// from any thread as masked text frames.
//
// Closing ends the reader; every command still waiting then fails, as do
// commands sent afterwards, so nobody waits for an answer that cannot come.
#pragma once

#include "cef/backend/UniqueHandle.h"
#include "cef/backend/UniqueSocket.h"
#include "cef/backend/WinsockScope.h"
#include "cef/backend/chromium/CdpSession.h"
#include "cef/backend/chromium/WebSocketDecoder.h"
#include "cef/backend/chromium/WebSocketFrame.h"
#include "cef/backend/chromium/WebSocketUrl.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace cefimpl::chromium {

class DevToolsConnection {
public:
    static constexpr unsigned kDefaultTimeoutMs = 10000;

    DevToolsConnection() = default;
    ~DevToolsConnection() { Close(); }
    DevToolsConnection(const DevToolsConnection&) = delete;
    DevToolsConnection& operator=(const DevToolsConnection&) = delete;

    // Connects and completes the opening handshake within `timeoutMs`.
    bool Connect(const WebSocketUrl& url, unsigned timeoutMs = kDefaultTimeoutMs);
    const std::string& Error() const { return m_error; }
    bool IsOpen() const { return m_open; }

    // Events are subscribed here; its handlers run on the reader thread.
    CdpSession& Session() { return m_session; }

    // Any thread. `onResponse` always runs once: with the answer, or with a
    // failure when the connection is or goes down first.
    void Command(const std::string& method, const nlohmann::json& params = nlohmann::json::object(),
                 const std::string& sessionId = {}, CdpSession::ResponseHandler onResponse = {});
    // Sends and waits for the answer; a failure (code 0) after `timeoutMs`.
    // Never from an event handler: the answer comes on the thread it blocks.
    CdpResponse Call(const std::string& method,
                     const nlohmann::json& params = nlohmann::json::object(),
                     const std::string& sessionId = {}, unsigned timeoutMs = kDefaultTimeoutMs);

    // Any thread but the reader's: ends the connection and the reader.
    void Close();
    // Set before Connect: runs on the reader thread when the browser ends
    // the connection (it closed or died), not when Close ends it.
    void OnLost(std::function<void(const std::string& reason)> handler) {
        m_onLost = std::move(handler);
    }

private:
    bool Handshake(const WebSocketUrl& url, ULONGLONG deadline);
    static DWORD WINAPI ReaderMain(void* self);
    void Read();
    // False when the stream is over, with `reason` saying why.
    bool DrainDecoder(WebSocketDecoder& decoder, std::string& reason);
    bool Deliver(const WebSocketMessage& message, std::string& reason);
    // One frame, masked with fresh random bytes; false when it could not go.
    bool SendFrame(const std::function<std::string(const WebSocketMask&)>& encode);
    bool Fail(std::string error);

    WinsockScope m_winsock;
    CdpSession m_session;
    UniqueSocket m_socket;
    UniqueHandle m_reader;
    std::mutex m_sendLock;  // one frame at a time on the wire
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_closing{false};
    std::function<void(const std::string&)> m_onLost;
    std::string m_received;  // bytes that came with the handshake's answer
    std::string m_error;
};

}  // namespace cefimpl::chromium
