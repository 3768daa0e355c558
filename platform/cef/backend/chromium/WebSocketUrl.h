// A ws:// address split into what the connection and the handshake need.
// Only plain ws: the DevTools port is on loopback and speaks no TLS.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cefimpl::chromium {

struct WebSocketUrl {
    std::string host;  // a name or an address; an IPv6 address without brackets
    uint16_t port = 80;
    std::string path = "/";  // with the query, if any

    // Nothing for another scheme, user information, a fragment, an empty
    // host, a port outside 1..65535, or blanks and control characters.
    static std::optional<WebSocketUrl> Parse(std::string_view url);

    // host:port as the Host header wants it, IPv6 in brackets.
    std::string Authority() const;
};

}  // namespace cefimpl::chromium
