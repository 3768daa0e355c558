// Builds one frame of the pipe protocol (see WireProtocol.h).
#pragma once

#include "cef/backend/WireProtocol.h"

#include <string>

namespace cefimpl {

class WireWriter {
public:
    explicit WireWriter(WireType type) { U8(static_cast<uint8_t>(type)); }

    WireWriter& U8(uint8_t value);
    WireWriter& Bool(bool value) { return U8(value ? 1 : 0); }
    WireWriter& I32(int32_t value) { return U32(static_cast<uint32_t>(value)); }
    WireWriter& U32(uint32_t value);
    WireWriter& I64(int64_t value);
    WireWriter& F64(double value);
    WireWriter& Str(const std::u16string& value);

    // The length prefix followed by the payload.
    std::string Frame() const;

private:
    void Little(uint64_t value, int bytes);

    std::string m_payload;
};

}  // namespace cefimpl
