// A TCP connection that is made within a time limit or not at all: a
// browser that is gone, or a port nobody serves, must never hold up the
// caller. Needs Winsock started (WinsockScope).
#pragma once

#include "cef/backend/UniqueSocket.h"

#include <cstdint>
#include <string>

namespace cefimpl::chromium {

// A blocking socket connected to host:port, or none with `error` saying
// why (name not found, refused, timed out).
UniqueSocket TcpConnect(const std::string& host, uint16_t port, unsigned timeoutMs,
                        std::string& error);

}  // namespace cefimpl::chromium
