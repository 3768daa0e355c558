#include "cef/backend/PumpingWait.h"

namespace cefimpl {

bool WaitPumpingSentMessages(HANDLE handle, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        // Sent messages that arrived before the wait do not wake it: answer
        // them first.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) {
            ULONGLONG now = GetTickCount64();
            remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        }
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, remaining, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
    }
}

}  // namespace cefimpl
