// The automation channel over TCP, against a child browser process started
// with --engine-automation, as the end-to-end tests drive the client.
#include "ChildProcess.h"
#include "EngineChildren.h"
#include "EngineTestSupport.h"
#include "HostWindow.h"
#include "TestApp.h"

#include "cef/CefProcess.h"
#include "cef/backend/UniqueSocket.h"

#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// One connection to the channel: request lines out, answer lines in.
class LineClient {
public:
    bool Connect(int port) {
        m_socket.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<u_short>(port));
        DWORD timeoutMs = 10000;
        setsockopt(m_socket.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&timeoutMs),
                   sizeof timeoutMs);
        return connect(m_socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    std::string Line() {
        for (;;) {
            size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return line;
            }
            char chunk[4096];
            int received = recv(m_socket.get(), chunk, sizeof chunk, 0);
            if (received <= 0) return "<no answer>";
            m_buffer.append(chunk, received);
        }
    }
    std::string Ask(const std::string& request) {
        std::string line = request + "\r\n";
        send(m_socket.get(), line.data(), static_cast<int>(line.size()), 0);
        return Line();
    }
    // Every record line from sequence 0.
    std::vector<std::string> Records() {
        std::string head = Ask("records 0");
        std::vector<std::string> lines;
        unsigned long next = 0, count = 0;
        if (sscanf(head.c_str(), "ok %lu %lu", &next, &count) != 2) return lines;
        for (unsigned long i = 0; i < count; ++i) lines.push_back(Line());
        return lines;
    }
    bool WaitForRecord(const std::string& part) {
        return PumpUntil([&] {
            for (const std::string& line : Records()) {
                if (line.find(part) != std::string::npos) return true;
            }
            return false;
        });
    }

private:
    cefimpl::UniqueSocket m_socket;
    std::string m_buffer;
};

class Sockets {
public:
    Sockets() { WSAStartup(MAKEWORD(2, 2), &m_data); }
    ~Sockets() { WSACleanup(); }

private:
    WSADATA m_data;
};

int PortFrom(const std::string& errors) {
    const std::string marker = "automation channel on 127.0.0.1:";
    size_t at = errors.find(marker);
    return at == std::string::npos ? 0 : atoi(errors.c_str() + at + marker.size());
}

TEST(AutomationTest, TheChannelServesEveryRequestKind) {
    Sockets sockets;
    ChildProcess child;
    ASSERT_TRUE(child.Start(L"--engine-test-child=automation-host --engine-automation=0"));
    ASSERT_TRUE(child.WaitForOutput("ready ")) << child.Errors();
    int id = atoi(child.Output().c_str() + child.Output().find("ready ") + 6);
    int port = PortFrom(child.Errors());
    ASSERT_NE(port, 0) << child.Errors();
    LineClient client;
    ASSERT_TRUE(client.Connect(port));
    std::string b = std::to_string(id);

    struct Exchange {
        std::string request;
        std::string answerStart;
    } exchanges[] = {
        {"hello", "ok ashgrove-engine 1 test"},
        {"browsers", "ok " + b},
        {"console " + b + " =hi", "ok"},
        {"change-title " + b + " =T%C3%ADtulo", "ok"},
        {"call-function " + b + " 0 =Report =%E4%B8%AD%00x =%ED%A0%80 int:5", "ok"},
        {"query-body-attribute " + b + " 0 =scroll", "ok"},
        {"start-download " + b + " =http://a.test/f =f 1,0,0,-1,5,10,0 0,1,0,100,0,20,20", "ok"},
        {"finish-load 999 1 200 =", "fail"},
        {"finish-load x 1 200 =", "error ="},
        {"finish-load " + b + " 1 200", "error ="},
        {"change-title " + b + " not-text", "error ="},
        {"call-function " + b + " 0 =Report bogus:1", "error ="},
        {"teleport " + b, "error =unknown%20command"},
        {"", "error ="},
    };
    for (const Exchange& e : exchanges) {
        std::string answer = client.Ask(e.request);
        EXPECT_EQ(answer.compare(0, e.answerStart.size(), e.answerStart), 0)
            << e.request << " -> " << answer;
    }
    std::string pid = client.Ask("render-pid " + b);
    EXPECT_TRUE(pid.rfind("ok ", 0) == 0 && pid != "ok 0") << pid;

    // Odd text went to the page and came back in its report, both ways encoded.
    EXPECT_TRUE(
        client.WaitForRecord(" " + b + " to-browser =Reported =%E4%B8%AD%00x =%ED%A0%80 = =true"));
    EXPECT_TRUE(client.WaitForRecord(" " + b + " console =swallowed"));
    EXPECT_TRUE(client.WaitForRecord(" " + b + " body-attribute =0 =scroll = =body"));
    EXPECT_TRUE(client.WaitForRecord(" " + b + " download =C:%5Cdownloads%5Cf =dialog"));

    // A second connection is served while the first stays open.
    LineClient second;
    ASSERT_TRUE(second.Connect(port));
    EXPECT_EQ(second.Ask("hello"), "ok ashgrove-engine 1 test");
    EXPECT_EQ(client.Ask("kill-render " + b), "ok");
    EXPECT_TRUE(second.WaitForRecord(" " + b + " render-ended"));

    child.CloseInput();
    EXPECT_EQ(child.Wait(), 0) << child.Errors();
}

}  // namespace

int AutomationHostChild() {
    CefSettings settings;
    settings.multi_threaded_message_loop = true;
    if (!cef_initialize(CefMainArgs(), settings, new TestApp(), nullptr)) return 1;
    int code = 0;
    {
        HostWindow host;
        CefRefPtr<TestClient> client = new TestClient();
        CefRefPtr<CefBrowser> browser =
            OpenBrowser(client, host.Handle(), "http://automation.test/");
        if (browser) {
            printf("ready %d\n", browser->GetIdentifier());
            fflush(stdout);
            // The parent ends the child by closing its stdin.
            std::atomic<bool> inputEnded{false};
            std::thread reader([&] {
                char c;
                DWORD read = 0;
                while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) && read) {
                }
                inputEnded = true;
            });
            PumpUntil([&] { return inputEnded.load(); }, 60000);
            reader.join();
        } else {
            code = 1;
        }
    }
    cef_shutdown();
    return code;
}
