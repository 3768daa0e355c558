// Finding the DevTools address in what a started Chromium writes.
#include "cef/backend/chromium/DevToolsEndpoint.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cefimpl::chromium::DevToolsEndpoint;

const char kBrowserPath[] = "/devtools/browser/0b7c2a59-3a1f-4c0e-9d51-2f6f1c3e8a90";

void ExpectFound(const DevToolsEndpoint& endpoint, uint16_t port, const std::string& what) {
    ASSERT_EQ(endpoint.state, DevToolsEndpoint::kFound) << what << ": " << endpoint.error;
    EXPECT_EQ(endpoint.url.host, "127.0.0.1") << what;
    EXPECT_EQ(endpoint.url.port, port) << what;
    EXPECT_EQ(endpoint.url.path, kBrowserPath) << what;
}

TEST(DevToolsEndpoint, FindsTheListeningLineAmongOthers) {
    const std::string line =
        std::string("DevTools listening on ws://127.0.0.1:36875") + kBrowserPath;
    const std::string outputs[] = {
        "\n" + line + "\n",
        line + "\r\n",
        "[1211/120000.123:ERROR:bus.cc(407)] Failed to connect to the bus\n" + line +
            "\nlater noise\n",
    };
    for (const std::string& output : outputs)
        ExpectFound(DevToolsEndpoint::FromStandardError(output), 36875, output);
}

TEST(DevToolsEndpoint, WaitsForTheWholeLine) {
    const std::string output =
        std::string("noise\nDevTools listening on ws://127.0.0.1:36875") + kBrowserPath;
    for (size_t length = 0; length <= output.size(); ++length) {
        EXPECT_EQ(DevToolsEndpoint::FromStandardError(output.substr(0, length)).state,
                  DevToolsEndpoint::kNotFound)
            << length;
    }
    EXPECT_EQ(DevToolsEndpoint::FromStandardError("a line\nanother\n").state,
              DevToolsEndpoint::kNotFound);
}

TEST(DevToolsEndpoint, ReadsTheActivePortFile) {
    const std::string path = kBrowserPath;
    const std::string files[] = {"36875\n" + path + "\n", "36875\n" + path,
                                 "36875\r\n" + path + "\r\n"};
    for (const std::string& file : files)
        ExpectFound(DevToolsEndpoint::FromActivePortFile(file), 36875, file);
}

TEST(DevToolsEndpoint, ReportsMalformedAddresses) {
    const std::string path = kBrowserPath;
    const std::string lines[] = {
        "DevTools listening on \n",
        "DevTools listening on http://127.0.0.1:36875" + path + "\n",
        "DevTools listening on ws://127.0.0.1:99999" + path + "\n",
        "DevTools listening on ws://127.0.0.1:36875/devtools/page/1\n",
        "DevTools listening on ws://127.0.0.1:36875/devtools/browser/\n",
        "DevTools listening on ws://127.0.0.1:36875" + path + " trailing\n",
    };
    for (const std::string& line : lines) {
        const DevToolsEndpoint endpoint = DevToolsEndpoint::FromStandardError(line);
        EXPECT_EQ(endpoint.state, DevToolsEndpoint::kMalformed) << line;
        EXPECT_FALSE(endpoint.error.empty()) << line;
    }
    const std::string files[] = {
        "",
        "36875",
        "36875\n",
        "\n" + path,
        "port\n" + path,
        "-1\n" + path,
        "0\n" + path,
        "65536\n" + path,
        "36875 \n" + path,
        "36875\nbrowser",
        "36875\n/devtools/browser/a b",
    };
    for (const std::string& file : files) {
        const DevToolsEndpoint endpoint = DevToolsEndpoint::FromActivePortFile(file);
        EXPECT_EQ(endpoint.state, DevToolsEndpoint::kMalformed) << file;
        EXPECT_FALSE(endpoint.error.empty()) << file;
    }
}

}  // namespace
