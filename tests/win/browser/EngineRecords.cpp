#include "EngineRecords.h"

#include <algorithm>

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, std::min<DWORD>(timeoutMs - waited, 5), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

EngineRecords::EngineRecords(Start start) {
    if (start == kFromNow) cef_testing::RecordsSince(0, &m_next);
}

void EngineRecords::Poll() {
    std::vector<cef_testing::Record> fresh = cef_testing::RecordsSince(m_next, &m_next);
    m_records.insert(m_records.end(), fresh.begin(), fresh.end());
}

std::vector<cef_testing::Record> EngineRecords::Of(const std::string& kind, int browserId) {
    Poll();
    std::vector<cef_testing::Record> found;
    std::copy_if(m_records.begin(), m_records.end(), std::back_inserter(found),
                 [&](const cef_testing::Record& r) {
                     return r.kind == kind && (browserId == 0 || r.browserId == browserId);
                 });
    return found;
}

std::vector<cef_testing::Record> EngineRecords::WaitFor(const std::string& kind, int browserId,
                                                        size_t count) {
    std::vector<cef_testing::Record> found;
    PumpUntil([&] {
        found = Of(kind, browserId);
        return found.size() >= count;
    });
    return found;
}
