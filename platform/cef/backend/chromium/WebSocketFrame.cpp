#include "cef/backend/chromium/WebSocketFrame.h"

namespace cefimpl::chromium {
namespace {

constexpr unsigned char kFinalBit = 0x80;
constexpr unsigned char kMaskBit = 0x80;
constexpr size_t kMaxSevenBitLength = 125;
constexpr unsigned char kSixteenBitLength = 126;
constexpr unsigned char kSixtyFourBitLength = 127;

void AppendBigEndian(std::string& out, uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift);
}

void AppendLength(std::string& out, size_t length) {
    if (length <= kMaxSevenBitLength) {
        out += static_cast<char>(kMaskBit | length);
    } else if (length <= 0xFFFF) {
        out += static_cast<char>(kMaskBit | kSixteenBitLength);
        AppendBigEndian(out, length, 2);
    } else {
        out += static_cast<char>(kMaskBit | kSixtyFourBitLength);
        AppendBigEndian(out, length, 8);
    }
}

// The longest start of `text` of at most `limit` bytes that does not end
// inside a UTF-8 sequence.
std::string_view CutAtCharacter(std::string_view text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

std::string EncodeWebSocketFrame(WebSocketOpcode opcode, std::string_view payload,
                                 const WebSocketMask& mask) {
    std::string frame;
    frame.reserve(payload.size() + 14);
    frame += static_cast<char>(kFinalBit | static_cast<unsigned char>(opcode));
    AppendLength(frame, payload.size());
    frame.append(reinterpret_cast<const char*>(mask.data()), mask.size());
    for (size_t i = 0; i < payload.size(); ++i) {
        frame += static_cast<char>(payload[i] ^ mask[i % 4]);
    }
    return frame;
}

std::string EncodeTextFrame(std::string_view utf8, const WebSocketMask& mask) {
    return EncodeWebSocketFrame(WebSocketOpcode::kText, utf8, mask);
}

std::string EncodePongFrame(std::string_view pingPayload, const WebSocketMask& mask) {
    return EncodeWebSocketFrame(WebSocketOpcode::kPong, pingPayload.substr(0, kMaxControlPayload),
                                mask);
}

std::string EncodeCloseFrame(uint16_t code, std::string_view reason, const WebSocketMask& mask) {
    std::string payload;
    AppendBigEndian(payload, code, 2);
    payload += CutAtCharacter(reason, kMaxControlPayload - 2);
    return EncodeWebSocketFrame(WebSocketOpcode::kClose, payload, mask);
}

}  // namespace cefimpl::chromium
