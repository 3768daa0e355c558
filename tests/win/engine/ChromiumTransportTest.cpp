// The Chromium backend's transport against the real browser: started into
// a cache folder of its own, driven over its DevTools WebSocket (a target,
// a page, script, a picture), closed by the protocol. And the failures a
// client must survive without waiting forever: no browser, nobody on the
// port, a port that never answers the handshake.
#include "cef/backend/UniqueSocket.h"
#include "cef/backend/WinsockScope.h"
#include "cef/backend/chromium/Base64.h"
#include "cef/backend/chromium/ChromiumProcess.h"
#include "cef/backend/chromium/DevToolsConnection.h"
#include "cef/backend/chromium/WebSocketHandshake.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace {

using namespace cefimpl::chromium;
using cefimpl::UniqueSocket;
using nlohmann::json;

// A cache folder of the test's own, gone afterwards.
class ChromiumTransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_cacheDir = std::wstring(temp) + L"plover-chromium-" +
                     std::to_wstring(GetCurrentProcessId()) + L"-" +
                     std::to_wstring(GetTickCount64());
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(m_cacheDir), ignored);
    }

    std::wstring m_cacheDir;
};

// Waits for one event of a session, as the backend's handlers would see it.
class EventLatch {
public:
    EventLatch(CdpSession& session, const std::string& method, const std::string& sessionId)
        : m_session(session), m_id(session.On(method, sessionId, [this](const json&) {
              std::lock_guard<std::mutex> hold(m_lock);
              m_seen = true;
              m_changed.notify_all();
          })) {}
    ~EventLatch() { m_session.Off(m_id); }

    bool Wait(unsigned timeoutMs) {
        std::unique_lock<std::mutex> hold(m_lock);
        return m_changed.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                  [this] { return m_seen; });
    }

private:
    CdpSession& m_session;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_seen = false;
    CdpSession::HandlerId m_id;
};

std::string Text(const CdpResponse& response) {
    return response.ok ? response.result.dump() : "error: " + response.errorMessage;
}

// A page target attached in flat mode: the session id its commands carry.
std::string AttachedPage(DevToolsConnection& connection) {
    const CdpResponse created = connection.Call("Target.createTarget", {{"url", "about:blank"}});
    EXPECT_TRUE(created.ok) << Text(created);
    const CdpResponse attached =
        connection.Call("Target.attachToTarget",
                        {{"targetId", created.result.value("targetId", "")}, {"flatten", true}});
    EXPECT_TRUE(attached.ok) << Text(attached);
    return attached.result.value("sessionId", "");
}

TEST_F(ChromiumTransportTest, DrivesARealBrowserFromStartToClose) {
    std::string notFound;
    const std::wstring browser = ChromiumProcess::FindBrowser(notFound);
    ASSERT_FALSE(browser.empty()) << notFound;
    ChromiumProcess process;
    ASSERT_TRUE(process.Start(browser, m_cacheDir)) << process.Error();
    DevToolsConnection connection;
    ASSERT_TRUE(connection.Connect(process.Endpoint())) << connection.Error();

    const std::string page = AttachedPage(connection);
    ASSERT_FALSE(page.empty());
    ASSERT_TRUE(connection.Call("Page.enable", json::object(), page).ok);
    {
        EventLatch loaded(connection.Session(), "Page.loadEventFired", page);
        const CdpResponse navigated = connection.Call(
            "Page.navigate", {{"url", "data:text/html,<title>Ashgrove</title><p>six by seven</p>"}},
            page);
        ASSERT_TRUE(navigated.ok) << Text(navigated);
        ASSERT_TRUE(loaded.Wait(10000));
    }

    const CdpResponse evaluated = connection.Call(
        "Runtime.evaluate",
        {{"expression", "document.title + ' ' + 6 * 7"}, {"returnByValue", true}}, page);
    ASSERT_TRUE(evaluated.ok) << Text(evaluated);
    EXPECT_EQ(evaluated.result["result"].value("value", ""), "Ashgrove 42") << Text(evaluated);

    const CdpResponse shot = connection.Call("Page.captureScreenshot", {{"format", "png"}}, page);
    ASSERT_TRUE(shot.ok) << Text(shot).substr(0, 200);
    const std::optional<std::string> png = Base64Decode(shot.result.value("data", ""));
    ASSERT_TRUE(png.has_value());
    ASSERT_GT(png->size(), 8u);
    EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

    // The answer to Browser.close may or may not beat the connection's end.
    connection.Call("Browser.close");
    EXPECT_TRUE(process.WaitForExit(15000)) << "the browser still answers on its DevTools port";
    const CdpResponse afterwards = connection.Call("Browser.getVersion");
    EXPECT_FALSE(afterwards.ok);
    EXPECT_EQ(afterwards.errorCode, 0);
    EXPECT_FALSE(connection.IsOpen());
}

TEST_F(ChromiumTransportTest, ABrowserThatIsNotThereFailsAtOnce) {
    ChromiumProcess process;
    EXPECT_FALSE(process.Start(L"C:\\no-such-folder\\chrome.exe", m_cacheDir));
    EXPECT_NE(process.Error().find("no browser at C:\\no-such-folder\\chrome.exe"),
              std::string::npos)
        << process.Error();
}

TEST_F(ChromiumTransportTest, AProgramThatNeverReportsAPortTimesOut) {
    if (!ChromiumProcess::UnderWine()) GTEST_SKIP() << "needs a Unix program that ends at once";
    ChromiumProcess process;
    EXPECT_FALSE(process.Start(L"Z:\\bin\\true", m_cacheDir, 2000));
    EXPECT_NE(process.Error().find("no DevTools port within 2000 ms (no DevToolsActivePort in"),
              std::string::npos)
        << process.Error();
}

// A loopback port with nobody behind it, or with a listener that accepts
// (the system's backlog does) but never answers.
struct Listener {
    cefimpl::WinsockScope winsock;
    UniqueSocket socket;
    uint16_t port = 0;

    explicit Listener(bool keepListening) {
        socket.reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(socket.get(), 4);
        getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        if (!keepListening) socket.reset();
    }
};

TEST(DevToolsConnectionTest, APortThatDoesNotServeFailsWithoutHanging) {
    const struct Case {
        bool listening;
        const char* error;
    } cases[] = {
        {false, "connection refused"},
        {true, "no handshake answer in the time allowed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        Listener listener(c.listening);
        WebSocketUrl url;
        url.host = "127.0.0.1";
        url.port = listener.port;
        url.path = "/devtools/browser/none";
        DevToolsConnection connection;
        EXPECT_FALSE(connection.Connect(url, 1500));
        EXPECT_NE(connection.Error().find(c.error), std::string::npos) << connection.Error();
        EXPECT_FALSE(connection.IsOpen());
        // Commands on a connection that never opened fail instead of waiting.
        EXPECT_EQ(connection.Call("Browser.getVersion", json::object(), {}, 1500).errorMessage,
                  "the connection to the browser is closed");
    }
}

// Accepts one WebSocket and then answers nothing: what a browser that hangs
// looks like from the client.
class SilentWebSocketServer {
public:
    SilentWebSocketServer() : m_listener(true), m_thread([this] { Serve(); }) {}
    ~SilentWebSocketServer() { m_thread.join(); }

    WebSocketUrl Url() const {
        WebSocketUrl url;
        url.host = "127.0.0.1";
        url.port = m_listener.port;
        url.path = "/devtools/browser/silent";
        return url;
    }

private:
    void Serve() {
        UniqueSocket client(accept(m_listener.socket.get(), nullptr, nullptr));
        std::string request;
        char buffer[4096];
        int count;
        while (request.find("\r\n\r\n") == std::string::npos &&
               (count = recv(client.get(), buffer, sizeof buffer, 0)) > 0) {
            request.append(buffer, count);
        }
        const std::string field = "Sec-WebSocket-Key: ";
        const size_t start = request.find(field) + field.size();
        const std::string key = request.substr(start, request.find("\r\n", start) - start);
        const std::string answer =
            "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Accept: " +
            WebSocketAcceptFor(key) + "\r\n\r\n";
        send(client.get(), answer.data(), static_cast<int>(answer.size()), 0);
        while (recv(client.get(), buffer, sizeof buffer, 0) > 0) {
        }
    }

    Listener m_listener;
    std::thread m_thread;
};

TEST(DevToolsConnectionTest, ClosingEndsTheReaderAndFailsWaitingCommands) {
    SilentWebSocketServer server;
    DevToolsConnection connection;
    ASSERT_TRUE(connection.Connect(server.Url(), 5000)) << connection.Error();
    std::mutex lock;
    std::condition_variable answered;
    std::optional<CdpResponse> heard;
    connection.Command("Browser.getVersion", json::object(), {}, [&](const CdpResponse& response) {
        std::lock_guard<std::mutex> hold(lock);
        heard = response;
        answered.notify_all();
    });
    EXPECT_EQ(connection.Session().PendingCount(), 1u);

    // The reader is blocked in recv; closing must wake it, not wait for it.
    connection.Close();
    std::unique_lock<std::mutex> hold(lock);
    ASSERT_TRUE(
        answered.wait_for(hold, std::chrono::seconds(10), [&] { return heard.has_value(); }));
    EXPECT_FALSE(heard->ok);
    EXPECT_EQ(heard->errorCode, 0);
    EXPECT_FALSE(connection.IsOpen());
}

}  // namespace
