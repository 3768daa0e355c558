// Work posted to the engine's threads.
#pragma once

#include "cef/CefBase.h"

enum cef_thread_id_t {
    TID_UI,
    TID_IO,
    TID_RENDERER,
};
using CefThreadId = cef_thread_id_t;

class CefTask : public virtual CefBase {
public:
    virtual void Execute() = 0;
};

// False when the thread does not run (before initialisation, after shutdown).
bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task);
bool CefPostDelayedTask(CefThreadId threadId, CefRefPtr<CefTask> task, long long delayMs);
bool CefCurrentlyOn(CefThreadId threadId);

// A callback on the wrong thread is a programming error and fails loudly.
void CefRequireThreadFailed(const char* expected, const char* function);
#define CEF_REQUIRE_THREAD(id, name) \
    (CefCurrentlyOn(id) ? (void)0 : CefRequireThreadFailed(name, __func__))
#define REQUIRE_UI_THREAD() CEF_REQUIRE_THREAD(TID_UI, "UI")
#define REQUIRE_IO_THREAD() CEF_REQUIRE_THREAD(TID_IO, "IO")
#define REQUIRE_RENDERER_THREAD() CEF_REQUIRE_THREAD(TID_RENDERER, "renderer")
