// Keeps Winsock started while its owner lives. Starting it is counted by
// the system, so every user may hold a scope of its own.
#pragma once

#include <winsock2.h>

namespace cefimpl {

class WinsockScope {
public:
    WinsockScope() {
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockScope() {
        if (m_started) WSACleanup();
    }
    WinsockScope(const WinsockScope&) = delete;
    WinsockScope& operator=(const WinsockScope&) = delete;

    explicit operator bool() const { return m_started; }

private:
    bool m_started = false;
};

}  // namespace cefimpl
