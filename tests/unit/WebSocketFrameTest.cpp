// Masked client frames: the WebSocket protocol document's examples, the
// three length forms at their edges, and close frames.
#include "cef/backend/chromium/WebSocketFrame.h"

#include "ByteText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace cefimpl::chromium;
using testbytes::FromHex;
using testbytes::Hex;

const WebSocketMask kExampleMask = {0x37, 0xfa, 0x21, 0x3d};

// The payload of a frame whose header is `headerSize` bytes, mask included.
std::string Unmasked(const std::string& frame, size_t headerSize) {
    std::string payload = frame.substr(headerSize);
    for (size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<char>(payload[i] ^ frame[headerSize - 4 + i % 4]);
    }
    return payload;
}

TEST(WebSocketFrame, MatchesTheDocumentedMaskedExamples) {
    EXPECT_EQ(Hex(EncodeTextFrame("Hello", kExampleMask)), "818537fa213d7f9f4d5158");
    EXPECT_EQ(Hex(EncodePongFrame("Hello", kExampleMask)), "8a8537fa213d7f9f4d5158");
}

struct LengthCase {
    size_t length;
    const char* header;  // up to the mask
};

TEST(WebSocketFrame, PicksTheShortestLengthForm) {
    const LengthCase cases[] = {
        {0, "8180"},
        {125, "81fd"},
        {126, "81fe007e"},
        {65535, "81feffff"},
        {65536, "81ff0000000000010000"},
    };
    for (const LengthCase& c : cases) {
        std::string payload(c.length, 'x');
        if (!payload.empty()) payload.back() = 'y';
        const std::string frame = EncodeTextFrame(payload, kExampleMask);
        const size_t headerSize = std::string(c.header).size() / 2 + 4;
        EXPECT_EQ(Hex(frame.substr(0, headerSize - 4)), c.header) << c.length;
        EXPECT_EQ(Hex(frame.substr(headerSize - 4, 4)), "37fa213d") << c.length;
        EXPECT_EQ(Unmasked(frame, headerSize), payload) << c.length;
    }
}

TEST(WebSocketFrame, ZeroMaskLeavesThePayloadReadable) {
    EXPECT_EQ(
        EncodeWebSocketFrame(WebSocketOpcode::kBinary, std::string("\0\xff", 2), {0, 0, 0, 0}),
        FromHex("82 82 00000000 00ff"));
}

TEST(WebSocketFrame, CloseCarriesCodeThenReason) {
    const std::string frame = EncodeCloseFrame(kCloseNormal, "bye", kExampleMask);
    EXPECT_EQ(Hex(frame.substr(0, 2)), "8885");
    EXPECT_EQ(Unmasked(frame, 6), FromHex("03e8") + "bye");
    EXPECT_EQ(Unmasked(EncodeCloseFrame(4000, "", kExampleMask), 6), FromHex("0fa0"));
}

TEST(WebSocketFrame, CloseReasonIsCutToFitAControlFrame) {
    const std::string ascii(200, 'r');
    EXPECT_EQ(Unmasked(EncodeCloseFrame(kCloseNormal, ascii, kExampleMask), 6).substr(2),
              std::string(123, 'r'));
    // 61 two-byte characters and a 62nd that would end at byte 124: it
    // goes whole rather than in half.
    std::string accented;
    for (int i = 0; i < 62; ++i) accented += "\xc3\xa9";
    EXPECT_EQ(Unmasked(EncodeCloseFrame(kCloseNormal, accented, kExampleMask), 6).substr(2),
              accented.substr(0, 122));
}

}  // namespace
