// Turns the bytes a WebSocket server sends, in whatever pieces the socket
// delivers them, into whole messages: fragments joined, control frames
// handed out as they come between them. Any breach of the framing rules
// ends the stream for good; the caller then closes the connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cefimpl::chromium {

struct WebSocketMessage {
    enum Kind { kText, kBinary, kClose, kPing, kPong } kind = kText;
    std::string payload;  // a close frame's reason
    uint16_t closeCode = 0;
};

class WebSocketDecoder {
public:
    enum Status { kMessage, kNeedMore, kError };

    // Screencast frames arrive as large text messages; the default leaves
    // them room and still stops a corrupt length from claiming all memory.
    static constexpr size_t kDefaultMaxMessage = 64 * 1024 * 1024;

    explicit WebSocketDecoder(size_t maxMessage = kDefaultMaxMessage) : m_maxMessage(maxMessage) {}

    void Feed(std::string_view bytes);
    // The next whole message, if its bytes are all here.
    Status Next(WebSocketMessage& message);
    const std::string& Error() const { return m_error; }

private:
    struct Header {
        bool final = false;
        bool masked = false;
        bool reserved = false;  // any of the bits kept for extensions
        uint8_t opcode = 0;
        uint64_t length = 0;
        size_t size = 0;  // of the header itself
    };

    bool ReadHeader(Header& header) const;
    std::string CheckHeader(const Header& header) const;
    // kNeedMore after a fragment that completes no message yet.
    Status TakeFrame(const Header& header, WebSocketMessage& message);
    Status ControlMessage(uint8_t opcode, std::string payload, WebSocketMessage& message);
    Status Fail(std::string error);

    const size_t m_maxMessage;
    std::string m_buffer;
    size_t m_offset = 0;       // bytes of m_buffer already decoded
    std::string m_fragments;   // the unfinished message so far
    bool m_inMessage = false;  // a first fragment came, the final one not yet
    WebSocketMessage::Kind m_fragmentKind = WebSocketMessage::kText;
    std::string m_error;
};

}  // namespace cefimpl::chromium
