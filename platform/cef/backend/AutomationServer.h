// The automation channel on a loopback TCP port (only with
// --engine-automation=<port>): a thread of its own serves any number of
// connections, one request line at a time each.
#pragma once

#include "cef/backend/UniqueHandle.h"
#include "cef/backend/UniqueSocket.h"

#include <string>
#include <vector>

namespace cefimpl {

class AutomationServer {
public:
    AutomationServer() = default;
    ~AutomationServer() { Stop(); }
    AutomationServer(const AutomationServer&) = delete;
    AutomationServer& operator=(const AutomationServer&) = delete;

    // Listens on 127.0.0.1:port (0: any free port); says where on stderr.
    bool Start(int port);
    void Stop();

private:
    struct Session {
        UniqueSocket socket;
        UniqueHandle event;
        std::string input;
        std::string output;
    };

    static DWORD WINAPI ThreadMain(void* self);
    void Serve();
    void Accept();
    // False when the session is over.
    bool Service(Session& session);
    bool Flush(Session& session);

    UniqueSocket m_listener;
    UniqueHandle m_listenEvent;
    UniqueHandle m_stopEvent;
    UniqueHandle m_thread;
    std::vector<Session> m_sessions;
};

}  // namespace cefimpl
