// What the engine observed, in order, for tests and the automation channel.
// Bounded: a long session keeps the newest records; sequence numbers go on.
#pragma once

#include "cef/CefTesting.h"

#include <string>
#include <vector>

namespace cefimpl {

class RecordLog {
public:
    static void Add(int browserId, const std::string& kind, std::vector<std::u16string> fields);
    static std::vector<cef_testing::Record> Since(size_t from, size_t* next);
};

}  // namespace cefimpl
