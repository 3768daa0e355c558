#include "cef/backend/RecordLog.h"

#include <algorithm>
#include <deque>
#include <mutex>

namespace cefimpl {
namespace {

constexpr size_t kMaxRecords = 50000;
// A megabyte message would otherwise sit in the log twice (both directions).
constexpr size_t kMaxFieldUnits = 64 * 1024;

std::mutex g_mutex;
std::deque<cef_testing::Record> g_records;
size_t g_firstSequence = 0;

}  // namespace

void RecordLog::Add(int browserId, const std::string& kind, std::vector<std::u16string> fields) {
    for (std::u16string& field : fields) {
        if (field.size() > kMaxFieldUnits) field.resize(kMaxFieldUnits);
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    g_records.push_back(cef_testing::Record{browserId, kind, std::move(fields)});
    if (g_records.size() > kMaxRecords) {
        g_records.pop_front();
        ++g_firstSequence;
    }
}

std::vector<cef_testing::Record> RecordLog::Since(size_t from, size_t* next) {
    std::lock_guard<std::mutex> lock(g_mutex);
    size_t end = g_firstSequence + g_records.size();
    std::vector<cef_testing::Record> out;
    for (size_t sequence = std::max(from, g_firstSequence); sequence < end; ++sequence) {
        out.push_back(g_records[sequence - g_firstSequence]);
    }
    if (next) *next = end;
    return out;
}

}  // namespace cefimpl
