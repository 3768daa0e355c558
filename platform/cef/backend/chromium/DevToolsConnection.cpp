#include "cef/backend/chromium/DevToolsConnection.h"

#include "cef/backend/chromium/TcpConnect.h"
#include "cef/backend/chromium/WebSocketHandshake.h"

#include <bcrypt.h>

#include <condition_variable>
#include <memory>

namespace cefimpl::chromium {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

// The system's cryptographic generator: masks and keys must not be
// predictable to whoever sees the traffic.
bool RandomBytes(unsigned char* bytes, size_t count) {
    return BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, static_cast<ULONG>(count),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

bool SendAll(SOCKET socket, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const int sent =
            send(socket, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
        if (sent <= 0) return false;
        done += sent;
    }
    return true;
}

void SetReceiveTimeout(SOCKET socket, DWORD timeoutMs) {
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
               sizeof timeoutMs);
}

unsigned MillisecondsLeft(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    return now < deadline ? static_cast<unsigned>(deadline - now) : 0;
}

CdpResponse Unanswered(std::string reason) {
    CdpResponse response;
    response.ok = false;
    response.errorMessage = std::move(reason);
    return response;
}

}  // namespace

// ---- Opening ----------------------------------------------------------------------

bool DevToolsConnection::Connect(const WebSocketUrl& url, unsigned timeoutMs) {
    m_closing = false;
    if (m_reader) return Fail("already connected");
    if (!m_winsock) return Fail("Winsock does not start");
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    m_socket = TcpConnect(url.host, url.port, timeoutMs, m_error);
    if (!m_socket) return false;
    if (!Handshake(url, deadline)) {
        m_socket.reset();
        return false;
    }
    m_open = true;
    m_reader.reset(CreateThread(nullptr, 0, &DevToolsConnection::ReaderMain, this, 0, nullptr));
    if (m_reader) return true;
    m_open = false;
    m_socket.reset();
    return Fail("no thread for reading the connection");
}

bool DevToolsConnection::Handshake(const WebSocketUrl& url, ULONGLONG deadline) {
    WebSocketKey key;
    if (!RandomBytes(key.data(), key.size())) return Fail("no random bytes for the handshake");
    if (!SendAll(m_socket.get(), WebSocketRequest(url, key))) {
        return Fail("the handshake could not be sent (Winsock error " +
                    std::to_string(WSAGetLastError()) + ")");
    }
    std::string received;
    char buffer[4096];
    for (;;) {
        const unsigned left = MillisecondsLeft(deadline);
        if (left == 0) return Fail("no handshake answer in the time allowed");
        SetReceiveTimeout(m_socket.get(), left);
        const int count = recv(m_socket.get(), buffer, sizeof buffer, 0);
        if (count == 0) return Fail("the server closed the connection during the handshake");
        if (count < 0 && WSAGetLastError() != WSAETIMEDOUT) {
            return Fail("the handshake failed (Winsock error " + std::to_string(WSAGetLastError()) +
                        ")");
        }
        if (count > 0) received.append(buffer, count);
        const HandshakeAnswer answer = ReadHandshakeAnswer(received, key);
        if (answer.state == HandshakeAnswer::kRejected) {
            return Fail("the server refused the WebSocket: " + answer.error);
        }
        if (answer.state == HandshakeAnswer::kAccepted) {
            m_received = received.substr(answer.headLength);
            SetReceiveTimeout(m_socket.get(), 0);  // the reader waits as long as it takes
            return true;
        }
    }
}

// ---- Reading ----------------------------------------------------------------------

DWORD WINAPI DevToolsConnection::ReaderMain(void* self) {
    static_cast<DevToolsConnection*>(self)->Read();
    return 0;
}

void DevToolsConnection::Read() {
    WebSocketDecoder decoder;
    decoder.Feed(m_received);
    m_received.clear();
    std::string reason = "the connection to the browser was lost";
    std::string buffer(kReadChunk, '\0');
    while (DrainDecoder(decoder, reason)) {
        const int count = recv(m_socket.get(), &buffer[0], static_cast<int>(buffer.size()), 0);
        if (count <= 0) break;
        decoder.Feed(std::string_view(buffer.data(), count));
    }
    // Cleared before the waiting commands fail, so a command that comes
    // after them finds the connection closed and fails on its own.
    m_open = false;
    shutdown(m_socket.get(), SD_BOTH);
    m_session.FailPending(reason);
    if (!m_closing && m_onLost) m_onLost(reason);
}

bool DevToolsConnection::DrainDecoder(WebSocketDecoder& decoder, std::string& reason) {
    WebSocketMessage message;
    for (;;) {
        switch (decoder.Next(message)) {
            case WebSocketDecoder::kNeedMore:
                return true;
            case WebSocketDecoder::kError:
                reason = "the browser broke the WebSocket framing: " + decoder.Error();
                return false;
            case WebSocketDecoder::kMessage:
                if (!Deliver(message, reason)) return false;
                break;
        }
    }
}

bool DevToolsConnection::Deliver(const WebSocketMessage& message, std::string& reason) {
    switch (message.kind) {
        case WebSocketMessage::kText:
            m_session.Dispatch(message.payload);
            return true;
        case WebSocketMessage::kPing:
            SendFrame(
                [&](const WebSocketMask& mask) { return EncodePongFrame(message.payload, mask); });
            return true;
        case WebSocketMessage::kClose:
            SendFrame(
                [](const WebSocketMask& mask) { return EncodeCloseFrame(kCloseNormal, {}, mask); });
            reason = "the browser closed the connection (code " +
                     std::to_string(message.closeCode) + ")";
            return false;
        default:  // the protocol sends no binary messages; pongs answer nothing of ours
            return true;
    }
}

// ---- Sending ----------------------------------------------------------------------

void DevToolsConnection::Command(const std::string& method, const nlohmann::json& params,
                                 const std::string& sessionId,
                                 CdpSession::ResponseHandler onResponse) {
    const std::string text = m_session.Command(method, params, sessionId, std::move(onResponse));
    if (!SendFrame([&](const WebSocketMask& mask) { return EncodeTextFrame(text, mask); })) {
        // Nothing sent can be answered any more, this command included.
        m_session.FailPending("the connection to the browser is closed");
    }
}

CdpResponse DevToolsConnection::Call(const std::string& method, const nlohmann::json& params,
                                     const std::string& sessionId, unsigned timeoutMs) {
    // Shared with the handler, which may still run after a timed-out wait.
    struct Waiter {
        std::mutex lock;
        std::condition_variable answered;
        bool done = false;
        CdpResponse response;
    };
    auto waiter = std::make_shared<Waiter>();
    Command(method, params, sessionId, [waiter](const CdpResponse& response) {
        std::lock_guard<std::mutex> hold(waiter->lock);
        waiter->response = response;
        waiter->done = true;
        waiter->answered.notify_all();
    });
    std::unique_lock<std::mutex> hold(waiter->lock);
    if (!waiter->answered.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                   [&] { return waiter->done; })) {
        return Unanswered("no answer to " + method + " within " + std::to_string(timeoutMs) +
                          " ms");
    }
    return waiter->response;
}

bool DevToolsConnection::SendFrame(const std::function<std::string(const WebSocketMask&)>& encode) {
    WebSocketMask mask;
    if (!RandomBytes(mask.data(), mask.size())) return false;
    const std::string frame = encode(mask);
    std::lock_guard<std::mutex> hold(m_sendLock);
    if (!m_open) return false;
    if (SendAll(m_socket.get(), frame)) return true;
    // Part of a frame may be on the wire: the stream is beyond repair, and
    // the reader must hear so.
    shutdown(m_socket.get(), SD_BOTH);
    return false;
}

// ---- Closing ----------------------------------------------------------------------

void DevToolsConnection::Close() {
    m_closing = true;
    if (m_reader) {
        SendFrame(
            [](const WebSocketMask& mask) { return EncodeCloseFrame(kCloseNormal, {}, mask); });
        // Wakes the reader's blocking recv; the socket itself stays valid
        // until the reader has let go of it.
        shutdown(m_socket.get(), SD_BOTH);
        WaitForSingleObject(m_reader.get(), INFINITE);
        m_reader.reset();
    }
    {
        std::lock_guard<std::mutex> hold(m_sendLock);
        m_open = false;
        m_socket.reset();
    }
    m_session.FailPending("the connection to the browser is closed");
}

bool DevToolsConnection::Fail(std::string error) {
    m_error = std::move(error);
    return false;
}

}  // namespace cefimpl::chromium
