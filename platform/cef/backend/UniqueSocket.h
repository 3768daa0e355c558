// Owner of one Winsock socket: closes it once.
#pragma once

#include <winsock2.h>

namespace cefimpl {

class UniqueSocket {
public:
    UniqueSocket() = default;
    explicit UniqueSocket(SOCKET socket) : m_socket(socket) {}
    UniqueSocket(UniqueSocket&& other) noexcept : m_socket(other.release()) {}
    UniqueSocket& operator=(UniqueSocket&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueSocket(const UniqueSocket&) = delete;
    UniqueSocket& operator=(const UniqueSocket&) = delete;
    ~UniqueSocket() { reset(); }

    SOCKET get() const { return m_socket; }
    explicit operator bool() const { return m_socket != INVALID_SOCKET; }
    SOCKET release() {
        SOCKET socket = m_socket;
        m_socket = INVALID_SOCKET;
        return socket;
    }
    void reset(SOCKET socket = INVALID_SOCKET) {
        if (m_socket != INVALID_SOCKET) closesocket(m_socket);
        m_socket = socket;
    }

private:
    SOCKET m_socket = INVALID_SOCKET;
};

}  // namespace cefimpl
