// The client's side of the WebSocket opening handshake: the upgrade request
// and the check of the server's answer to it.
#pragma once

#include "cef/backend/chromium/WebSocketUrl.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace cefimpl::chromium {

// Sixteen random bytes, new for every connection.
using WebSocketKey = std::array<unsigned char, 16>;

// The GET request that asks the server to switch to the WebSocket protocol.
std::string WebSocketRequest(const WebSocketUrl& url, const WebSocketKey& key);

// What the server must answer in Sec-WebSocket-Accept for a key sent as
// `keyBase64`.
std::string WebSocketAcceptFor(std::string_view keyBase64);

struct HandshakeAnswer {
    enum State { kIncomplete, kAccepted, kRejected } state = kIncomplete;
    // Accepted: the bytes of the answer's head; what follows them is
    // already WebSocket data.
    size_t headLength = 0;
    std::string error;  // rejected: why, for the log
};

// Reads the bytes received so far after sending the request for `key`.
// Incomplete until the head's blank line has arrived.
HandshakeAnswer ReadHandshakeAnswer(std::string_view received, const WebSocketKey& key);

}  // namespace cefimpl::chromium
