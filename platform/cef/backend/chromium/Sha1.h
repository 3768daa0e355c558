// SHA-1 of a byte string. Used only for the WebSocket opening handshake,
// where it proves the server read our key, not for anything secret.
#pragma once

#include <string>
#include <string_view>

namespace cefimpl::chromium {

// The 20-byte digest, as raw bytes.
std::string Sha1Digest(std::string_view bytes);

}  // namespace cefimpl::chromium
