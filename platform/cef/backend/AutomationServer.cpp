// The automation channel: a line protocol on 127.0.0.1, opened only when the
// browser process is started with --engine-automation=<port>.
//
// A request is one line ("\n" or "\r\n" ended): a command and its
// arguments, separated by single spaces. Arguments are
//   numbers  decimal integers;           flags  0 or 1;
//   texts    "=" then the text as UTF-8, percent-encoded (%XX) except for
//            letters, digits and -._~:/?#@!$&'()*+,;= ; an unpaired
//            surrogate is the three-byte UTF-8 form of its code unit
//            (Python: "surrogatepass"), so any UTF-16 text goes through;
//            "=" alone is the empty text.
// Each request gets one answer line: "ok [values...]", "fail" (the engine
// refused: no such browser, engine not running) or "error =<message>" (the
// request is malformed). "records" answers "ok <next> <count>" followed by
// <count> lines "record <sequence> <browser id> <kind> =<field>...".
//
//   hello                                     ok ashgrove-engine 1 <backend>
//   browsers                                  ok <id>...
//   records <from>                            records from sequence <from>
//   finish-load <b> <frames> <status> =<url>
//   change-title <b> =<title>
//   change-address <b> <frame> =<url>
//   change-loading-state <b> <loading> <can-go-back> <can-go-forward>
//   change-status <b> =<text>
//   load-error <b> <frame> <error code> =<url>
//   console <b> =<text>
//   call-function <b> <frame> =<name> <arg>...
//       arg: undefined | null | true | false | int:<n> | double:<x> | =<text>
//   focus-element <b> <frame> <element> <has-title> =<title>
//   set-has-body <b> <frame> <has-body>
//   query-body-attribute <b> <frame> =<name>
//   request-popup <b> <frame> =<url> =<frame name>
//   request-credentials <b> <proxy> =<host> <port> =<realm> =<scheme>
//   start-download <b> =<url> =<suggested name> <step>...
//       step: <in-progress>,<complete>,<canceled>,<percent>,<speed>,<received>,<total>
//   context-menu <b> <type flags> <entries>
//   before-unload <b>
//   delay-browsers <milliseconds>             at most 10000; 0 ends it
//   kill-render <b>
//   render-pid <b>                            ok <pid> (0: none running)
//   render-garbage <b> <kind>                 kind 1 oversized, 2 unknown type, 3 bad payload
//
// The operations are those of cef/CefTesting.h; tests/e2e/engine_automation.py
// is a client.
#include "cef/backend/AutomationServer.h"

#include "cef/backend/AutomationProtocol.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstdio>

namespace cefimpl {
namespace {

// A line this long is no request of ours.
constexpr size_t kMaxLineBytes = 16u << 20;
// WSAWaitForMultipleEvents waits on at most 64 events; two are the server's.
constexpr size_t kMaxSessions = 60;

}  // namespace

bool AutomationServer::Start(int port) {
    m_listener.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    int length = sizeof address;
    m_listenEvent.reset(WSACreateEvent());
    m_stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_listener || !m_listenEvent || !m_stopEvent ||
        bind(m_listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener.get(), SOMAXCONN) != 0 ||
        getsockname(m_listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        WSAEventSelect(m_listener.get(), m_listenEvent.get(), FD_ACCEPT) != 0) {
        fprintf(stderr, "engine: the automation channel cannot listen on 127.0.0.1:%d (error %d)\n",
                port, WSAGetLastError());
        fflush(stderr);
        return false;
    }
    m_thread.reset(CreateThread(nullptr, 0, &AutomationServer::ThreadMain, this, 0, nullptr));
    if (!m_thread) return false;
    fprintf(stderr, "engine: automation channel on 127.0.0.1:%d\n", ntohs(address.sin_port));
    fflush(stderr);
    return true;
}

void AutomationServer::Stop() {
    if (m_thread) {
        SetEvent(m_stopEvent.get());
        // The server thread only posts to engine threads; it never waits on them.
        WaitForSingleObject(m_thread.get(), INFINITE);
        m_thread.reset();
    }
    m_sessions.clear();
    m_listener.reset();
}

DWORD WINAPI AutomationServer::ThreadMain(void* self) {
    static_cast<AutomationServer*>(self)->Serve();
    return 0;
}

void AutomationServer::Serve() {
    for (;;) {
        std::vector<HANDLE> events = {m_stopEvent.get(), m_listenEvent.get()};
        for (const Session& session : m_sessions) events.push_back(session.event.get());
        DWORD result = WSAWaitForMultipleEvents(static_cast<DWORD>(events.size()), events.data(),
                                                FALSE, WSA_INFINITE, FALSE);
        if (result == WSA_WAIT_EVENT_0) return;
        if (result == WSA_WAIT_EVENT_0 + 1) {
            Accept();
            continue;
        }
        size_t index = result - WSA_WAIT_EVENT_0 - 2;
        if (index >= m_sessions.size()) return;  // the wait failed
        if (!Service(m_sessions[index])) m_sessions.erase(m_sessions.begin() + index);
    }
}

void AutomationServer::Accept() {
    WSANETWORKEVENTS happened;
    WSAEnumNetworkEvents(m_listener.get(), m_listenEvent.get(), &happened);
    for (;;) {
        UniqueSocket client(accept(m_listener.get(), nullptr, nullptr));
        if (!client) return;
        Session session;
        session.event.reset(WSACreateEvent());
        if (m_sessions.size() >= kMaxSessions || !session.event ||
            WSAEventSelect(client.get(), session.event.get(), FD_READ | FD_WRITE | FD_CLOSE) != 0) {
            continue;  // closed at once
        }
        session.socket = std::move(client);
        m_sessions.push_back(std::move(session));
    }
}

bool AutomationServer::Service(Session& session) {
    WSANETWORKEVENTS happened;
    if (WSAEnumNetworkEvents(session.socket.get(), session.event.get(), &happened) != 0) {
        return false;
    }
    char buffer[64 * 1024];
    bool peerClosed = (happened.lNetworkEvents & FD_CLOSE) != 0;
    for (;;) {
        int received = recv(session.socket.get(), buffer, sizeof buffer, 0);
        if (received > 0) {
            session.input.append(buffer, received);
            continue;
        }
        if (received == 0 || WSAGetLastError() != WSAEWOULDBLOCK) peerClosed = true;
        break;
    }
    // Requests that came with the close are still answered, as far as the
    // peer reads.
    size_t newline;
    while ((newline = session.input.find('\n')) != std::string::npos) {
        std::string line = session.input.substr(0, newline);
        session.input.erase(0, newline + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        session.output += AutomationProtocol::Answer(line);
    }
    if (session.input.size() > kMaxLineBytes) return false;
    return Flush(session) && !peerClosed;
}

bool AutomationServer::Flush(Session& session) {
    while (!session.output.empty()) {
        int chunk = static_cast<int>(std::min<size_t>(session.output.size(), 1u << 20));
        int sent = send(session.socket.get(), session.output.data(), chunk, 0);
        if (sent < 0) return WSAGetLastError() == WSAEWOULDBLOCK;  // FD_WRITE comes later
        session.output.erase(0, sent);
    }
    return true;
}

}  // namespace cefimpl
