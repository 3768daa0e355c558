#include "cef/backend/chromium/WebSocketDecoder.h"

#include "cef/backend/chromium/WebSocketFrame.h"

namespace cefimpl::chromium {
namespace {

constexpr unsigned char kFinalBit = 0x80;
constexpr unsigned char kReservedBits = 0x70;
constexpr unsigned char kOpcodeBits = 0x0F;
constexpr unsigned char kMaskBit = 0x80;
constexpr unsigned char kLengthBits = 0x7F;

uint8_t Op(WebSocketOpcode opcode) { return static_cast<uint8_t>(opcode); }

bool IsControl(uint8_t opcode) { return opcode & 0x08; }

bool IsKnown(uint8_t opcode) {
    return opcode == Op(WebSocketOpcode::kContinuation) || opcode == Op(WebSocketOpcode::kText) ||
           opcode == Op(WebSocketOpcode::kBinary) || opcode == Op(WebSocketOpcode::kClose) ||
           opcode == Op(WebSocketOpcode::kPing) || opcode == Op(WebSocketOpcode::kPong);
}

// The codes a peer may send; the others are reserved, or only ever stand
// for a close frame without one.
bool IsSendableCloseCode(uint16_t code) {
    return (code >= 1000 && code <= 1003) || (code >= 1007 && code <= 1014) ||
           (code >= 3000 && code <= 4999);
}

uint64_t BigEndian(std::string_view bytes) {
    uint64_t value = 0;
    for (unsigned char byte : bytes) value = (value << 8) | byte;
    return value;
}

}  // namespace

void WebSocketDecoder::Feed(std::string_view bytes) {
    if (m_error.empty()) m_buffer.append(bytes.data(), bytes.size());
}

WebSocketDecoder::Status WebSocketDecoder::Next(WebSocketMessage& message) {
    while (m_error.empty()) {
        Header header;
        if (!ReadHeader(header)) break;
        std::string error = CheckHeader(header);
        if (!error.empty()) return Fail(std::move(error));
        if (m_buffer.size() - m_offset - header.size < header.length) break;
        const Status status = TakeFrame(header, message);
        if (status != kNeedMore) return status;
    }
    if (!m_error.empty()) return kError;
    m_buffer.erase(0, m_offset);
    m_offset = 0;
    return kNeedMore;
}

bool WebSocketDecoder::ReadHeader(Header& header) const {
    const std::string_view available = std::string_view(m_buffer).substr(m_offset);
    if (available.size() < 2) return false;
    const auto first = static_cast<unsigned char>(available[0]);
    const auto second = static_cast<unsigned char>(available[1]);
    header.final = first & kFinalBit;
    header.masked = second & kMaskBit;
    header.reserved = first & kReservedBits;
    header.opcode = first & kOpcodeBits;
    const size_t lengthBytes = (second & kLengthBits) == 126   ? 2
                               : (second & kLengthBits) == 127 ? 8
                                                               : 0;
    const size_t maskBytes = header.masked ? 4 : 0;
    header.size = 2 + lengthBytes + maskBytes;
    if (available.size() < header.size) return false;
    header.length =
        lengthBytes ? BigEndian(available.substr(2, lengthBytes)) : (second & kLengthBits);
    return true;
}

std::string WebSocketDecoder::CheckHeader(const Header& header) const {
    // We agreed to no extension, so nothing may use the reserved bits.
    if (header.masked) return "masked frame from the server";
    if (header.reserved) return "reserved bits set";
    const uint8_t opcode = header.opcode;
    if (!IsKnown(opcode)) return "unknown opcode " + std::to_string(opcode);
    if (IsControl(opcode)) {
        if (!header.final) return "fragmented control frame";
        if (header.length > kMaxControlPayload) return "control frame too long";
        return {};
    }
    const bool continuation = opcode == Op(WebSocketOpcode::kContinuation);
    if (continuation && !m_inMessage) return "continuation without a message";
    if (!continuation && m_inMessage) return "new message inside a fragmented one";
    if (header.length > m_maxMessage - (continuation ? m_fragments.size() : 0)) {
        return "message too long";
    }
    return {};
}

WebSocketDecoder::Status WebSocketDecoder::TakeFrame(const Header& header,
                                                     WebSocketMessage& message) {
    const size_t length = static_cast<size_t>(header.length);
    std::string payload = m_buffer.substr(m_offset + header.size, length);
    m_offset += header.size + length;
    if (IsControl(header.opcode)) return ControlMessage(header.opcode, std::move(payload), message);

    if (header.opcode != Op(WebSocketOpcode::kContinuation)) {
        m_inMessage = true;
        m_fragmentKind = header.opcode == Op(WebSocketOpcode::kText) ? WebSocketMessage::kText
                                                                     : WebSocketMessage::kBinary;
        m_fragments.clear();
    }
    m_fragments += payload;
    if (!header.final) return kNeedMore;
    m_inMessage = false;
    message = WebSocketMessage();
    message.kind = m_fragmentKind;
    message.payload.swap(m_fragments);
    return kMessage;
}

WebSocketDecoder::Status WebSocketDecoder::ControlMessage(uint8_t opcode, std::string payload,
                                                          WebSocketMessage& message) {
    message = WebSocketMessage();
    if (opcode == Op(WebSocketOpcode::kPing)) {
        message.kind = WebSocketMessage::kPing;
    } else if (opcode == Op(WebSocketOpcode::kPong)) {
        message.kind = WebSocketMessage::kPong;
    } else {
        message.kind = WebSocketMessage::kClose;
        message.closeCode = kCloseNoCode;
        if (payload.size() == 1) return Fail("close frame with half a code");
        if (payload.size() >= 2) {
            message.closeCode =
                static_cast<uint16_t>(BigEndian(std::string_view(payload).substr(0, 2)));
            if (!IsSendableCloseCode(message.closeCode)) return Fail("invalid close code");
            payload.erase(0, 2);
        }
    }
    message.payload = std::move(payload);
    return kMessage;
}

WebSocketDecoder::Status WebSocketDecoder::Fail(std::string error) {
    m_error = std::move(error);
    m_buffer.clear();
    m_offset = 0;
    m_fragments.clear();
    return kError;
}

}  // namespace cefimpl::chromium
