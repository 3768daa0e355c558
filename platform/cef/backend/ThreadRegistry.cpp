#include "cef/backend/ThreadRegistry.h"

#include "cef/CefString.h"

#include "cef/backend/FunctionTask.h"
#include "cef/backend/RecordLog.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace cefimpl {
namespace {

constexpr int kThreadIds = TID_RENDERER + 1;

// The lock is held while posting, so an entry cannot be unregistered (and
// its thread object destroyed) under a poster's feet.
std::mutex g_mutex;
EngineThread* g_threads[kThreadIds] = {};

bool IsKnown(CefThreadId id) { return id >= 0 && id < kThreadIds; }

}  // namespace

void ThreadRegistry::Register(CefThreadId id, EngineThread* thread) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (IsKnown(id)) g_threads[id] = thread;
}

void ThreadRegistry::Unregister(CefThreadId id) { Register(id, nullptr); }

bool ThreadRegistry::Post(CefThreadId id, CefRefPtr<CefTask> task, long long delayMs) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return IsKnown(id) && g_threads[id] && g_threads[id]->Post(task, delayMs);
}

bool ThreadRegistry::Post(CefThreadId id, std::function<void()> function, long long delayMs) {
    return Post(id, new FunctionTask(std::move(function)), delayMs);
}

bool ThreadRegistry::IsCurrent(CefThreadId id) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return IsKnown(id) && g_threads[id] && g_threads[id]->IsCurrent();
}

const char* ThreadRegistry::CurrentName() {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (EngineThread* thread : g_threads) {
        if (thread && thread->IsCurrent()) return thread->Name();
    }
    return "other";
}

}  // namespace cefimpl

using cefimpl::ThreadRegistry;

bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task) {
    return ThreadRegistry::Post(threadId, task);
}

bool CefPostDelayedTask(CefThreadId threadId, CefRefPtr<CefTask> task, long long delayMs) {
    return ThreadRegistry::Post(threadId, task, delayMs);
}

bool CefCurrentlyOn(CefThreadId threadId) { return ThreadRegistry::IsCurrent(threadId); }

void CefRequireThreadFailed(const char* expected, const char* function) {
    cefimpl::RecordLog::Add(0, "thread-violation",
                            {CefString(expected).ToString16(), CefString(function).ToString16()});
    fprintf(stderr, "engine: %s must run on the %s thread, not on the %s thread\n", function,
            expected, ThreadRegistry::CurrentName());
    fflush(stderr);
    abort();
}
