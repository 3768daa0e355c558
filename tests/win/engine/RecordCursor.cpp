#include "RecordCursor.h"

#include "EngineTestSupport.h"

#include <cstdint>

RecordCursor::RecordCursor() { cef_testing::RecordsSince(SIZE_MAX, &m_start); }

std::vector<cef_testing::Record> RecordCursor::Matching(const std::string& kind,
                                                        int browserId) const {
    std::vector<cef_testing::Record> matching;
    for (auto& record : cef_testing::RecordsSince(m_start, nullptr)) {
        if (record.kind == kind && (browserId == 0 || record.browserId == browserId)) {
            matching.push_back(record);
        }
    }
    return matching;
}

bool RecordCursor::WaitFor(const std::string& kind, int browserId, cef_testing::Record* found,
                           std::function<bool(const cef_testing::Record&)> match,
                           unsigned timeoutMs) const {
    return PumpUntil(
        [&] {
            for (auto& record : Matching(kind, browserId)) {
                if (match && !match(record)) continue;
                if (found) *found = record;
                return true;
            }
            return false;
        },
        timeoutMs);
}
