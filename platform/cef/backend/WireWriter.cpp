#include "cef/backend/WireWriter.h"

#include <cstring>

namespace cefimpl {

void WireWriter::Little(uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) m_payload += static_cast<char>((value >> (8 * i)) & 0xFF);
}

WireWriter& WireWriter::U8(uint8_t value) {
    m_payload += static_cast<char>(value);
    return *this;
}

WireWriter& WireWriter::U32(uint32_t value) {
    Little(value, 4);
    return *this;
}

WireWriter& WireWriter::I64(int64_t value) {
    Little(static_cast<uint64_t>(value), 8);
    return *this;
}

WireWriter& WireWriter::F64(double value) {
    uint64_t bits = 0;
    memcpy(&bits, &value, sizeof bits);
    Little(bits, 8);
    return *this;
}

WireWriter& WireWriter::Str(const std::u16string& value) {
    U32(static_cast<uint32_t>(value.size()));
    m_payload.reserve(m_payload.size() + value.size() * 2);
    for (char16_t unit : value) Little(unit, 2);
    return *this;
}

std::string WireWriter::Frame() const {
    std::string frame;
    frame.reserve(4 + m_payload.size());
    uint32_t length = static_cast<uint32_t>(m_payload.size());
    for (int i = 0; i < 4; ++i) frame += static_cast<char>((length >> (8 * i)) & 0xFF);
    return frame + m_payload;
}

}  // namespace cefimpl
