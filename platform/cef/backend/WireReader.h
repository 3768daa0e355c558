// Reads the fields of one frame's payload (see WireProtocol.h). A read past
// the end fails the reader for good; its values then read as zero/empty, so
// callers read every field and check Finish() once.
#pragma once

#include "cef/backend/WireProtocol.h"

#include <string>

namespace cefimpl {

class WireReader {
public:
    explicit WireReader(const std::string& payload) : m_payload(payload) {}

    uint8_t U8();
    bool Bool();
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint32_t U32();
    int64_t I64();
    double F64();
    std::u16string Str();

    size_t Remaining() const { return m_ok ? m_payload.size() - m_offset : 0; }
    bool Ok() const { return m_ok; }
    // True when every field read and nothing is left over.
    bool Finish() const { return m_ok && m_offset == m_payload.size(); }
    void Fail() { m_ok = false; }

private:
    uint64_t Little(int bytes);

    const std::string& m_payload;
    size_t m_offset = 0;
    bool m_ok = true;
};

}  // namespace cefimpl
