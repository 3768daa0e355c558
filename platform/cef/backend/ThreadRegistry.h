// Which EngineThread serves each of the engine's thread ids in this process:
// UI and IO in the browser process, the render thread in a render process.
#pragma once

#include "cef/CefTask.h"
#include "cef/backend/EngineThread.h"

#include <functional>

namespace cefimpl {

class ThreadRegistry {
public:
    static void Register(CefThreadId id, EngineThread* thread);
    static void Unregister(CefThreadId id);
    static bool Post(CefThreadId id, CefRefPtr<CefTask> task, long long delayMs = 0);
    static bool Post(CefThreadId id, std::function<void()> function, long long delayMs = 0);
    static bool IsCurrent(CefThreadId id);
    // "UI", "IO", "renderer", or "other" for a thread of no engine id.
    static const char* CurrentName();
};

}  // namespace cefimpl
