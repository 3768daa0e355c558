#include "cef/backend/WireReader.h"

#include <cstring>

namespace cefimpl {

uint64_t WireReader::Little(int bytes) {
    if (Remaining() < static_cast<size_t>(bytes)) {
        m_ok = false;
        return 0;
    }
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<uint64_t>(static_cast<unsigned char>(m_payload[m_offset + i]))
                 << (8 * i);
    }
    m_offset += bytes;
    return value;
}

uint8_t WireReader::U8() { return static_cast<uint8_t>(Little(1)); }

bool WireReader::Bool() {
    uint8_t value = U8();
    if (value > 1) m_ok = false;
    return value == 1;
}

uint32_t WireReader::U32() { return static_cast<uint32_t>(Little(4)); }

int64_t WireReader::I64() { return static_cast<int64_t>(Little(8)); }

double WireReader::F64() {
    uint64_t bits = Little(8);
    double value = 0;
    memcpy(&value, &bits, sizeof value);
    return value;
}

std::u16string WireReader::Str() {
    uint32_t count = U32();
    // Checked before allocating: a lying count must not cost memory.
    if (Remaining() / 2 < count) {
        m_ok = false;
        return std::u16string();
    }
    std::u16string value(count, u'\0');
    for (uint32_t i = 0; i < count; ++i) value[i] = static_cast<char16_t>(Little(2));
    return value;
}

}  // namespace cefimpl
