// CInternetException: a failed WinInet call. The internet classes throw it
// as a pointer, `throw new CInternetException(...)`; whoever catches it
// calls Delete().
#pragma once

#include <windows.h>

class CInternetException {
public:
    explicit CInternetException(DWORD error, DWORD_PTR context = 0)
        : m_dwError(error), m_dwContext(context) {}
    virtual ~CInternetException() = default;
    CInternetException(const CInternetException&) = delete;
    CInternetException& operator=(const CInternetException&) = delete;

    // The system's text for the error, cut to `maxChars` characters with the
    // terminator; FALSE (and an empty text) when there is none.
    virtual BOOL GetErrorMessage(LPWSTR text, UINT maxChars, PUINT helpContext = nullptr) const;
    void Delete() { delete this; }

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};

// Throws a CInternetException for `error`, or for the calling thread's last
// error when `error` is 0.
[[noreturn]] void AfxThrowInternetException(DWORD_PTR context, DWORD error = 0);
