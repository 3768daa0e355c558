#include "cef/backend/chromium/TcpConnect.h"

#include <ws2tcpip.h>

namespace cefimpl::chromium {
namespace {

std::string Describe(int code) {
    switch (code) {
        case WSAECONNREFUSED:
            return "connection refused";
        case WSAETIMEDOUT:
            return "timed out";
        case WSAEHOSTUNREACH:
        case WSAENETUNREACH:
            return "unreachable";
        default:
            return "Winsock error " + std::to_string(code);
    }
}

// The code a non-blocking connect ended with: 0 once connected.
int FinishConnect(SOCKET socket, unsigned timeoutMs) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval limit = {static_cast<long>(timeoutMs / 1000),
                     static_cast<long>(timeoutMs % 1000) * 1000};
    const int ready = select(0, nullptr, &writable, &failed, &limit);
    if (ready == 0) return WSAETIMEDOUT;
    if (ready < 0) return WSAGetLastError();
    int code = 0;
    int length = sizeof code;
    getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &length);
    // Windows reports a refused connection in the except set, with SO_ERROR
    // set; a connection that failed otherwise may leave it zero.
    if (code == 0 && FD_ISSET(socket, &failed)) code = WSAECONNREFUSED;
    return code;
}

// 0 with `connected` set, or the code the attempt failed with.
int ConnectOne(const addrinfo& address, unsigned timeoutMs, UniqueSocket& connected) {
    UniqueSocket candidate(socket(address.ai_family, address.ai_socktype, address.ai_protocol));
    if (!candidate) return WSAGetLastError();
    u_long nonBlocking = 1;
    ioctlsocket(candidate.get(), FIONBIO, &nonBlocking);
    int code = 0;
    if (connect(candidate.get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0) {
        code = WSAGetLastError();
        if (code == WSAEWOULDBLOCK) code = FinishConnect(candidate.get(), timeoutMs);
    }
    if (code != 0) return code;
    nonBlocking = 0;
    ioctlsocket(candidate.get(), FIONBIO, &nonBlocking);
    connected = std::move(candidate);
    return 0;
}

}  // namespace

UniqueSocket TcpConnect(const std::string& host, uint16_t port, unsigned timeoutMs,
                        std::string& error) {
    const std::string where = host + ":" + std::to_string(port);
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        error = "cannot resolve " + where + " (" + Describe(WSAGetLastError()) + ")";
        return UniqueSocket();
    }
    UniqueSocket connected;
    int code = WSAEHOSTUNREACH;
    for (addrinfo* address = found; address && !connected; address = address->ai_next) {
        code = ConnectOne(*address, timeoutMs, connected);
    }
    freeaddrinfo(found);
    if (!connected) error = "cannot connect to " + where + ": " + Describe(code);
    return connected;
}

}  // namespace cefimpl::chromium
