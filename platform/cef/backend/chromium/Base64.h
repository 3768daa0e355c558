// Base64 with the standard alphabet and "=" padding: the WebSocket
// handshake's key and answer, and the picture data of screencast frames.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cefimpl::chromium {

std::string Base64Encode(std::string_view bytes);

// Padded text only, as the protocol sends it; any other character, a length
// that is not a multiple of four or bits left over behind the last byte
// give nothing.
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace cefimpl::chromium
