// The opening handshake with the example key of the WebSocket protocol's
// own document, and answers a server must not get away with.
#include "cef/backend/chromium/WebSocketHandshake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using cefimpl::chromium::HandshakeAnswer;
using cefimpl::chromium::ReadHandshakeAnswer;
using cefimpl::chromium::WebSocketAcceptFor;
using cefimpl::chromium::WebSocketKey;
using cefimpl::chromium::WebSocketRequest;
using cefimpl::chromium::WebSocketUrl;

// "the sample nonce", sent as dGhlIHNhbXBsZSBub25jZQ==.
WebSocketKey SampleKey() {
    WebSocketKey key;
    std::memcpy(key.data(), "the sample nonce", key.size());
    return key;
}

const std::string kAcceptLine = "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n";

std::string Answer(const std::string& status, const std::string& headers) {
    return status + "\r\n" + headers + "\r\n";
}

const std::string kGoodAnswer =
    Answer("HTTP/1.1 101 Switching Protocols",
           "Upgrade: websocket\r\nConnection: Upgrade\r\n" + kAcceptLine);

TEST(WebSocketHandshake, AcceptValueOfTheExampleKey) {
    EXPECT_EQ(WebSocketAcceptFor("dGhlIHNhbXBsZSBub25jZQ=="), "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
}

TEST(WebSocketHandshake, RequestAsksForVersion13WithTheKey) {
    WebSocketUrl url;
    url.host = "server.example.com";
    url.path = "/chat?x=1";
    EXPECT_EQ(WebSocketRequest(url, SampleKey()),
              "GET /chat?x=1 HTTP/1.1\r\n"
              "Host: server.example.com:80\r\n"
              "Upgrade: websocket\r\n"
              "Connection: Upgrade\r\n"
              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
              "Sec-WebSocket-Version: 13\r\n"
              "\r\n");
}

TEST(WebSocketHandshake, AcceptsTheRightAnswerAndSaysWhereFramesBegin) {
    const std::string frame = "\x81\x05Hello";
    const HandshakeAnswer answer = ReadHandshakeAnswer(kGoodAnswer + frame, SampleKey());
    EXPECT_EQ(answer.state, HandshakeAnswer::kAccepted) << answer.error;
    EXPECT_EQ(answer.headLength, kGoodAnswer.size());
}

TEST(WebSocketHandshake, HeaderNamesAndTokensAreCaseBlind) {
    const std::string answers[] = {
        Answer("HTTP/1.1 101",
               "upgrade: WebSocket\r\nCONNECTION: keep-alive, upgrade\r\n" + kAcceptLine),
        Answer("HTTP/1.1 101 OK",
               "Upgrade:websocket  \r\nConnection: Upgrade\r\nX-Other: 1\r\n" +
                   std::string("sec-websocket-accept:s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n")),
    };
    for (const std::string& text : answers) {
        const HandshakeAnswer answer = ReadHandshakeAnswer(text, SampleKey());
        EXPECT_EQ(answer.state, HandshakeAnswer::kAccepted) << text << answer.error;
    }
}

TEST(WebSocketHandshake, EveryShorterPieceOfTheAnswerWaitsForMore) {
    for (size_t length = 0; length < kGoodAnswer.size(); ++length) {
        const HandshakeAnswer answer =
            ReadHandshakeAnswer(kGoodAnswer.substr(0, length), SampleKey());
        EXPECT_EQ(answer.state, HandshakeAnswer::kIncomplete) << length;
    }
}

TEST(WebSocketHandshake, RejectsWrongAnswers) {
    const std::string upgrade = "Upgrade: websocket\r\n";
    const std::string connection = "Connection: Upgrade\r\n";
    const std::string answers[] = {
        Answer("HTTP/1.1 400 Bad Request", upgrade + connection + kAcceptLine),
        Answer("HTTP/1.0 101 Switching Protocols", upgrade + connection + kAcceptLine),
        Answer("HTTP/1.1 1010", upgrade + connection + kAcceptLine),
        Answer("HTTP/1.1 101", connection + kAcceptLine),
        Answer("HTTP/1.1 101", "Upgrade: h2c\r\n" + connection + kAcceptLine),
        Answer("HTTP/1.1 101", upgrade + kAcceptLine),
        Answer("HTTP/1.1 101", upgrade + "Connection: keep-alive\r\n" + kAcceptLine),
        Answer("HTTP/1.1 101", upgrade + connection),
        Answer("HTTP/1.1 101",
               upgrade + connection + "Sec-WebSocket-Accept: dGhlIHNhbXBsZSBub25jZQ==\r\n"),
        Answer("HTTP/1.1 101", upgrade + connection + kAcceptLine + kAcceptLine),
        Answer("HTTP/1.1 101",
               upgrade + connection + kAcceptLine + "Sec-WebSocket-Extensions: x\r\n"),
        Answer("HTTP/1.1 101",
               upgrade + connection + kAcceptLine + "Sec-WebSocket-Protocol: chat\r\n"),
        Answer("HTTP/1.1 101", upgrade + "no colon here\r\n" + connection + kAcceptLine),
        Answer("HTTP/1.1 101", upgrade + ": nameless\r\n" + connection + kAcceptLine),
    };
    for (const std::string& text : answers) {
        const HandshakeAnswer answer = ReadHandshakeAnswer(text, SampleKey());
        EXPECT_EQ(answer.state, HandshakeAnswer::kRejected) << text;
        EXPECT_FALSE(answer.error.empty()) << text;
    }
}

TEST(WebSocketHandshake, GivesUpOnAnEndlessHead) {
    const std::string endless = "HTTP/1.1 101\r\nX-Padding: " + std::string(16 * 1024, 'x');
    EXPECT_EQ(ReadHandshakeAnswer(endless, SampleKey()).state, HandshakeAnswer::kRejected);
    const std::string rest =
        "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n" + kAcceptLine + "\r\n";
    EXPECT_EQ(ReadHandshakeAnswer(endless + rest, SampleKey()).state, HandshakeAnswer::kRejected);
}

}  // namespace
