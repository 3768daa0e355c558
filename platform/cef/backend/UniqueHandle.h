// Owner of one kernel handle (thread, process, event, pipe): closes it once,
// whatever path its owner leaves by.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace cefimpl {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(IsValid(handle) ? handle : nullptr) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE release() {
        HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    void reset(HANDLE handle = nullptr) {
        if (m_handle) CloseHandle(m_handle);
        m_handle = IsValid(handle) ? handle : nullptr;
    }

private:
    // CreateFile and CreateNamedPipe fail with INVALID_HANDLE_VALUE, the rest
    // with null; both mean "nothing owned".
    static bool IsValid(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

    HANDLE m_handle = nullptr;
};

}  // namespace cefimpl
