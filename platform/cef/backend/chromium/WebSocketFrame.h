// Frames a WebSocket client sends. A client masks every frame with four
// fresh random bytes of its own; the caller draws them, so that these rules
// stay free of a random source and tests can name the bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace cefimpl::chromium {

enum class WebSocketOpcode : uint8_t {
    kContinuation = 0x0,
    kText = 0x1,
    kBinary = 0x2,
    kClose = 0x8,
    kPing = 0x9,
    kPong = 0xA,
};

using WebSocketMask = std::array<unsigned char, 4>;

constexpr uint16_t kCloseNormal = 1000;
// What a close frame without a code reads as; never sent.
constexpr uint16_t kCloseNoCode = 1005;
// A control frame's payload limit.
constexpr size_t kMaxControlPayload = 125;

// One whole (final) masked frame. We never fragment what we send: the
// protocol's commands are small and a frame may be any length.
std::string EncodeWebSocketFrame(WebSocketOpcode opcode, std::string_view payload,
                                 const WebSocketMask& mask);

std::string EncodeTextFrame(std::string_view utf8, const WebSocketMask& mask);
// The answer to a ping carries the ping's own payload.
std::string EncodePongFrame(std::string_view pingPayload, const WebSocketMask& mask);
// The reason is cut, at a character's boundary, to what a control frame
// holds beside the code.
std::string EncodeCloseFrame(uint16_t code, std::string_view reason, const WebSocketMask& mask);

}  // namespace cefimpl::chromium
