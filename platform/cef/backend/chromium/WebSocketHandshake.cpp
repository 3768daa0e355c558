#include "cef/backend/chromium/WebSocketHandshake.h"

#include "cef/backend/AsciiCase.h"
#include "cef/backend/chromium/Base64.h"
#include "cef/backend/chromium/Sha1.h"

#include <map>

namespace cefimpl::chromium {
namespace {

constexpr std::string_view kAcceptGuid = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
constexpr std::string_view kHeadEnd = "\r\n\r\n";
// A 101 answer is a few hundred bytes; anything this long is not one.
constexpr size_t kMaxHeadLength = 16 * 1024;

using Headers = std::map<std::string, std::string>;  // lower-case names

std::string KeyText(const WebSocketKey& key) {
    return Base64Encode(std::string_view(reinterpret_cast<const char*>(key.data()), key.size()));
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Header lines after the status line; a repeated header's values are
// joined with commas, as HTTP allows for lists.
bool ParseHeaders(std::string_view lines, Headers& headers) {
    while (!lines.empty()) {
        const size_t end = lines.find("\r\n");
        const std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 2);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) return false;
        std::string& value = headers[AsciiLower(std::string(line.substr(0, colon)))];
        if (!value.empty()) value += ", ";
        value += Trimmed(line.substr(colon + 1));
    }
    return true;
}

bool HasToken(const std::string& list, std::string_view token) {
    std::string_view rest = list;
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        if (AsciiLower(std::string(Trimmed(rest.substr(0, comma)))) == token) return true;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return false;
}

HandshakeAnswer Rejected(std::string error) {
    HandshakeAnswer answer;
    answer.state = HandshakeAnswer::kRejected;
    answer.error = std::move(error);
    return answer;
}

// Empty when the headers accept our key without extensions or a
// subprotocol (we ask for neither, so a server that picks one is wrong).
std::string CheckHeaders(const Headers& headers, const WebSocketKey& key) {
    auto value = [&headers](const char* name) {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    };
    if (AsciiLower(value("upgrade")) != "websocket") return "no Upgrade: websocket";
    if (!HasToken(value("connection"), "upgrade")) return "no Connection: Upgrade";
    if (value("sec-websocket-accept") != WebSocketAcceptFor(KeyText(key))) {
        return "wrong Sec-WebSocket-Accept";
    }
    if (headers.count("sec-websocket-extensions")) return "unrequested extensions";
    if (headers.count("sec-websocket-protocol")) return "unrequested subprotocol";
    return {};
}

}  // namespace

std::string WebSocketRequest(const WebSocketUrl& url, const WebSocketKey& key) {
    // No Origin header: Chromium refuses DevTools connections from origins
    // it was not told to allow, and a native client has none.
    return "GET " + url.path + " HTTP/1.1\r\n" + "Host: " + url.Authority() + "\r\n" +
           "Upgrade: websocket\r\n" + "Connection: Upgrade\r\n" +
           "Sec-WebSocket-Key: " + KeyText(key) + "\r\n" + "Sec-WebSocket-Version: 13\r\n" + "\r\n";
}

std::string WebSocketAcceptFor(std::string_view keyBase64) {
    return Base64Encode(Sha1Digest(std::string(keyBase64) + std::string(kAcceptGuid)));
}

HandshakeAnswer ReadHandshakeAnswer(std::string_view received, const WebSocketKey& key) {
    const size_t end = received.find(kHeadEnd);
    if (end == std::string_view::npos || end + kHeadEnd.size() > kMaxHeadLength) {
        if (received.size() < kMaxHeadLength) return HandshakeAnswer();
        return Rejected("answer head too long");
    }
    const std::string_view head = received.substr(0, end);
    const size_t statusEnd = head.find("\r\n");
    const std::string_view status = head.substr(0, statusEnd);
    if (status.substr(0, 13) != "HTTP/1.1 101 " && status != "HTTP/1.1 101") {
        return Rejected("server answered \"" + std::string(status) + "\"");
    }
    Headers headers;
    const std::string_view lines =
        statusEnd == std::string_view::npos ? std::string_view() : head.substr(statusEnd + 2);
    if (!ParseHeaders(lines, headers)) return Rejected("malformed header line");
    std::string error = CheckHeaders(headers, key);
    if (!error.empty()) return Rejected(std::move(error));

    HandshakeAnswer answer;
    answer.state = HandshakeAnswer::kAccepted;
    answer.headLength = end + kHeadEnd.size();
    return answer;
}

}  // namespace cefimpl::chromium
