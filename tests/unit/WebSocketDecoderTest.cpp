// Server frames in arbitrary pieces: the WebSocket protocol document's
// unmasked examples, fragments with control frames between them, and each
// way a stream can break the framing rules.
#include "cef/backend/chromium/WebSocketDecoder.h"

#include "ByteText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cefimpl::chromium::WebSocketDecoder;
using cefimpl::chromium::WebSocketMessage;
using testbytes::FromHex;

std::string Describe(const WebSocketMessage& message) {
    static const char* const kKinds[] = {"text", "binary", "close", "ping", "pong"};
    std::string text = kKinds[message.kind];
    if (message.kind == WebSocketMessage::kClose) text += " " + std::to_string(message.closeCode);
    return text + " " +
           (message.payload.size() > 16 ? std::to_string(message.payload.size()) + " bytes"
                                        : message.payload);
}

struct Decoded {
    std::vector<std::string> messages;
    std::string error;  // empty when the stream ended waiting for more
};

// Feeds `stream` `piece` bytes at a time, taking every message as soon as
// it is complete.
Decoded DecodeInPieces(const std::string& stream, size_t piece,
                       WebSocketDecoder decoder = WebSocketDecoder()) {
    Decoded decoded;
    for (size_t offset = 0; offset < stream.size(); offset += piece) {
        decoder.Feed(std::string_view(stream).substr(offset, piece));
        WebSocketMessage message;
        WebSocketDecoder::Status status;
        while ((status = decoder.Next(message)) == WebSocketDecoder::kMessage) {
            decoded.messages.push_back(Describe(message));
        }
        if (status == WebSocketDecoder::kError) {
            decoded.error = decoder.Error();
            break;
        }
    }
    return decoded;
}

std::string Frame(const char* header, const std::string& payload) {
    return FromHex(header) + payload;
}

struct StreamCase {
    const char* what;
    std::string stream;
    std::vector<std::string> messages;
};

std::vector<StreamCase> GoodStreams() {
    return {
        {"text", FromHex("81 05 48656c6c6f"), {"text Hello"}},
        {"fragments", FromHex("01 03 48656c 80 02 6c6f"), {"text Hello"}},
        {"ping", FromHex("89 05 48656c6c6f"), {"ping Hello"}},
        {"pong", FromHex("8a 00"), {"pong "}},
        {"empty text", FromHex("81 00"), {"text "}},
        {"256 bytes, 16-bit length",
         Frame("82 7e 0100", std::string(256, 'b')),
         {"binary 256 bytes"}},
        {"64 KiB, 64-bit length",
         Frame("82 7f 0000000000010000", std::string(65536, 'b')),
         {"binary 65536 bytes"}},
        {"longer form than needed", Frame("81 7e 0003", "abc"), {"text abc"}},
        {"ping between fragments",
         FromHex("01 03 48656c 89 01 21 00 01 6c 80 01 6f"),
         {"ping !", "text Hello"}},
        {"empty fragments", FromHex("02 00 00 00 80 00"), {"binary "}},
        {"messages back to back",
         FromHex("81 01 61 81 01 62 8a 01 63"),
         {"text a", "text b", "pong c"}},
        {"close with code and reason", FromHex("88 05 03e8 627965"), {"close 1000 bye"}},
        {"close without code", FromHex("88 00"), {"close 1005 "}},
        {"close with private code", FromHex("88 02 1387"), {"close 4999 "}},
    };
}

TEST(WebSocketDecoder, DecodesStreamsWhateverPiecesTheyComeIn) {
    for (const StreamCase& c : GoodStreams()) {
        for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, c.stream.size()}) {
            const Decoded decoded = DecodeInPieces(c.stream, piece);
            EXPECT_EQ(decoded.messages, c.messages) << c.what << ", pieces of " << piece;
            EXPECT_EQ(decoded.error, "") << c.what << ", pieces of " << piece;
        }
    }
}

TEST(WebSocketDecoder, WaitsForTheWholeFrame) {
    // Every cut of a frame with the longest header, from the first byte to
    // one short of its end.
    const std::string frame = Frame("82 7f 0000000000010000", std::string(65536, 'b'));
    for (size_t length : {size_t{1}, size_t{2}, size_t{9}, size_t{10}, frame.size() - 1}) {
        WebSocketDecoder decoder;
        decoder.Feed(frame.substr(0, length));
        WebSocketMessage message;
        EXPECT_EQ(decoder.Next(message), WebSocketDecoder::kNeedMore) << length;
    }
}

TEST(WebSocketDecoder, RefusesBrokenStreams) {
    const StreamCase cases[] = {
        {"reserved bit", FromHex("c1 01 61"), {}},
        {"masked frame", FromHex("81 81 00000000 61"), {}},
        {"unknown data opcode", FromHex("83 00"), {}},
        {"unknown control opcode", FromHex("8b 00"), {}},
        {"fragmented ping", FromHex("09 00"), {}},
        {"long ping", Frame("89 7e 007e", std::string(126, 'p')), {}},
        {"continuation first", FromHex("80 01 61"), {}},
        {"text inside fragments", FromHex("01 01 61 81 01 62"), {}},
        {"close with half a code", FromHex("88 01 03"), {}},
        {"close code 999", FromHex("88 02 03e7"), {}},
        {"close code 1005", FromHex("88 02 03ed"), {}},
        {"close code 1006", FromHex("88 02 03ee"), {}},
        {"close code 2000", FromHex("88 02 07d0"), {}},
        {"close code 5000", FromHex("88 02 1388"), {}},
        {"64-bit length's top bit", FromHex("82 7f 8000000000000000"), {}},
    };
    for (const StreamCase& c : cases) {
        const Decoded decoded = DecodeInPieces(c.stream, 1);
        EXPECT_NE(decoded.error, "") << c.what;
        EXPECT_TRUE(decoded.messages.empty()) << c.what;
    }
}

TEST(WebSocketDecoder, RefusesAnOversizedMessageBeforeItsPayloadArrives) {
    // Only the header is fed: the decoder must not wait for (or buffer)
    // what the length claims.
    EXPECT_NE(DecodeInPieces(FromHex("81 0b"), 1, WebSocketDecoder(10)).error, "");
    EXPECT_NE(DecodeInPieces(FromHex("82 7f 7fffffffffffffff"), 1).error, "");
    // Ten bytes are fine, split or whole; eleven over two fragments are not.
    EXPECT_EQ(DecodeInPieces(Frame("81 0a", "0123456789"), 4, WebSocketDecoder(10)).messages,
              std::vector<std::string>{"text 0123456789"});
    EXPECT_EQ(
        DecodeInPieces(FromHex("01 05 3031323334 80 05 3536373839"), 4, WebSocketDecoder(10)).error,
        "");
    EXPECT_NE(
        DecodeInPieces(FromHex("01 05 3031323334 80 06 353637383961"), 4, WebSocketDecoder(10))
            .error,
        "");
}

TEST(WebSocketDecoder, StaysBrokenAfterAnError) {
    WebSocketDecoder decoder;
    decoder.Feed(FromHex("83 00 81 01 61"));
    WebSocketMessage message;
    ASSERT_EQ(decoder.Next(message), WebSocketDecoder::kError);
    const std::string error = decoder.Error();
    decoder.Feed(FromHex("81 01 62"));
    EXPECT_EQ(decoder.Next(message), WebSocketDecoder::kError);
    EXPECT_EQ(decoder.Error(), error);
}

}  // namespace
