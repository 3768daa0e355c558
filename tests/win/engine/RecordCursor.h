// Reads the engine's records from the moment it was made.
#pragma once

#include "cef/CefTesting.h"

#include <functional>
#include <string>
#include <vector>

class RecordCursor {
public:
    RecordCursor();

    // Records of `kind` (and of `browserId`, unless 0) since the cursor was made.
    std::vector<cef_testing::Record> Matching(const std::string& kind, int browserId = 0) const;
    // Pumps messages until such a record that `match` accepts exists.
    bool WaitFor(const std::string& kind, int browserId = 0, cef_testing::Record* found = nullptr,
                 std::function<bool(const cef_testing::Record&)> match = nullptr,
                 unsigned timeoutMs = 10000) const;

private:
    size_t m_start = 0;
};
