#include "afx/InternetException.h"

#include <wininet.h>

#include <cwchar>

BOOL CInternetException::GetErrorMessage(LPWSTR text, UINT maxChars, PUINT helpContext) const {
    if (helpContext) *helpContext = 0;
    if (!text || maxChars == 0) return FALSE;
    text[0] = L'\0';
    // WinInet's own errors have their texts in wininet.dll, the rest in the
    // system's table.
    DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE wininet = nullptr;
    if (m_dwError >= INTERNET_ERROR_BASE && m_dwError <= INTERNET_ERROR_LAST) {
        wininet = GetModuleHandleW(L"wininet.dll");
        if (wininet) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    }
    LPWSTR message = nullptr;
    DWORD length = FormatMessageW(flags, wininet, m_dwError, 0, reinterpret_cast<LPWSTR>(&message),
                                  0, nullptr);
    if (length == 0 || !message) return FALSE;
    // FormatMessage ends its texts with a line break.
    while (length > 0 && (message[length - 1] == L'\n' || message[length - 1] == L'\r')) --length;
    if (length >= maxChars) length = maxChars - 1;
    wmemcpy(text, message, length);
    text[length] = L'\0';
    LocalFree(message);
    return length > 0;
}

void AfxThrowInternetException(DWORD_PTR context, DWORD error) {
    if (error == 0) error = GetLastError();
    throw new CInternetException(error, context);
}
