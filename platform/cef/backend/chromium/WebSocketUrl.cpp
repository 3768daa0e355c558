#include "cef/backend/chromium/WebSocketUrl.h"

#include "cef/backend/AsciiCase.h"

namespace cefimpl::chromium {
namespace {

constexpr std::string_view kScheme = "ws://";

bool HasBlankOrControl(std::string_view text) {
    for (unsigned char c : text) {
        if (c <= ' ' || c == 0x7F) return true;
    }
    return false;
}

std::optional<uint16_t> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    uint32_t port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    return static_cast<uint16_t>(port);
}

// "host", "host:port", "[v6]" or "[v6]:port" into the address's fields.
bool ParseAuthority(std::string_view authority, WebSocketUrl& url) {
    std::string_view rest;
    if (!authority.empty() && authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        url.host = std::string(authority.substr(1, close - 1));
        rest = authority.substr(close + 1);
    } else {
        const size_t colon = authority.find(':');
        url.host = std::string(authority.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
    }
    if (url.host.empty()) return false;
    if (rest.empty()) return true;
    if (rest.front() != ':') return false;
    const std::optional<uint16_t> port = ParsePort(rest.substr(1));
    if (!port) return false;
    url.port = *port;
    return true;
}

}  // namespace

std::optional<WebSocketUrl> WebSocketUrl::Parse(std::string_view text) {
    if (text.size() < kScheme.size() ||
        AsciiLower(std::string(text.substr(0, kScheme.size()))) != kScheme) {
        return std::nullopt;
    }
    text.remove_prefix(kScheme.size());
    if (HasBlankOrControl(text) || text.find('#') != std::string_view::npos) return std::nullopt;

    const size_t pathStart = text.find_first_of("/?");
    const std::string_view authority = text.substr(0, pathStart);
    if (authority.find('@') != std::string_view::npos) return std::nullopt;

    WebSocketUrl url;
    if (!ParseAuthority(authority, url)) return std::nullopt;
    if (pathStart != std::string_view::npos) {
        const std::string_view path = text.substr(pathStart);
        url.path = path.front() == '?' ? "/" + std::string(path) : std::string(path);
    }
    return url;
}

std::string WebSocketUrl::Authority() const {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace cefimpl::chromium
