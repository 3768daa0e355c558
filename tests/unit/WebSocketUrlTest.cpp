// ws:// addresses as Chromium prints them, and the ones we refuse.
#include "cef/backend/chromium/WebSocketUrl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cefimpl::chromium::WebSocketUrl;

struct UrlCase {
    const char* url;
    const char* host;
    uint16_t port;
    const char* path;
    const char* authority;
};

TEST(WebSocketUrl, SplitsAddresses) {
    const UrlCase cases[] = {
        {"ws://127.0.0.1:9222/devtools/browser/6b1c-42", "127.0.0.1", 9222,
         "/devtools/browser/6b1c-42", "127.0.0.1:9222"},
        {"ws://localhost/", "localhost", 80, "/", "localhost:80"},
        {"ws://localhost", "localhost", 80, "/", "localhost:80"},
        {"WS://Example.com:1/a?b=c", "Example.com", 1, "/a?b=c", "Example.com:1"},
        {"ws://host?x=1", "host", 80, "/?x=1", "host:80"},
        {"ws://[::1]:65535/p", "::1", 65535, "/p", "[::1]:65535"},
        {"ws://[::1]/", "::1", 80, "/", "[::1]:80"},
    };
    for (const UrlCase& c : cases) {
        const auto url = WebSocketUrl::Parse(c.url);
        ASSERT_TRUE(url) << c.url;
        EXPECT_EQ(url->host, c.host) << c.url;
        EXPECT_EQ(url->port, c.port) << c.url;
        EXPECT_EQ(url->path, c.path) << c.url;
        EXPECT_EQ(url->Authority(), c.authority) << c.url;
    }
}

TEST(WebSocketUrl, RefusesWhatItCannotConnectTo) {
    const char* const refused[] = {
        "",
        "ws:/",
        "ws://",
        "wss://127.0.0.1:9222/",  // no TLS on the DevTools port
        "http://127.0.0.1:9222/",
        "ws://:9222/",
        "ws://[::1/",
        "ws://[::1]x/",
        "ws://host:/",
        "ws://host:0/",
        "ws://host:65536/",
        "ws://host:123456/",
        "ws://host:9x/",
        "ws://host:-1/",
        "ws://user@host/",
        "ws://host/a#frag",
        "ws://host/a b",
        "ws://host/a\r\nX-Injected: 1",
        " ws://host/",
    };
    for (const char* url : refused) EXPECT_EQ(WebSocketUrl::Parse(url), std::nullopt) << url;
}

}  // namespace
