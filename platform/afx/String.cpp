#include "afx/Afx.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

BOOL CString::LoadString(UINT id) {
    // With a zero buffer length LoadStringW hands out a pointer into the
    // resource itself, so strings of any length load without truncation.
    LPCWSTR resource = nullptr;
    int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) {
        m_text.clear();
        return FALSE;
    }
    m_text.assign(resource, length);
    return TRUE;
}

void CString::Format(LPCWSTR format, ...) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        int written = _vsnwprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0 && static_cast<size_t>(written) < buffer.size()) {
            m_text.assign(buffer.data(), written);
            return;
        }
        buffer.resize(buffer.size() * 2);
    }
}

int CString::CompareNoCase(LPCWSTR other) const {
    return CompareStringOrdinal(m_text.c_str(), -1, other ? other : L"", -1, TRUE) - CSTR_EQUAL;
}
