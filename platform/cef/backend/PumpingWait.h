// Waiting on a thread that engine threads may be blocked on: they reach the
// caller's windows by SendMessageW, so the caller keeps answering sent
// messages while it waits, or both sides wait for ever.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace cefimpl {

// True when `handle` was signalled within `timeoutMs` (INFINITE allowed).
bool WaitPumpingSentMessages(HANDLE handle, DWORD timeoutMs);

}  // namespace cefimpl
