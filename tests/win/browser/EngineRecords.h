// Waiting for the engine from the test's main thread. The engine's threads
// block in SendMessageW until the host window answers, so every wait pumps
// this thread's messages.
#pragma once

#include "cef/CefTesting.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Long enough for a loaded machine; a passing run never waits this long.
constexpr DWORD kEngineWaitMs = 10000;

// True once `done` holds; false when the time ran out first.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kEngineWaitMs);

// The test backend's records from the moment this object was made on, or
// all of them.
class EngineRecords {
public:
    enum Start { kFromNow, kFromEngineStart };
    explicit EngineRecords(Start start = kFromNow);

    // Records of one kind (of one browser, unless browserId is 0), oldest first.
    std::vector<cef_testing::Record> Of(const std::string& kind, int browserId = 0);
    // Waits until at least `count` such records have arrived and returns them.
    std::vector<cef_testing::Record> WaitFor(const std::string& kind, int browserId = 0,
                                             size_t count = 1);

private:
    void Poll();

    size_t m_next = 0;
    std::vector<cef_testing::Record> m_records;
};
