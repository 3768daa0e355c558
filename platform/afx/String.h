// CString: the framework's UTF-16 string, a small value type over
// std::wstring (wchar_t is 16 bits on Windows).
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCWSTR text) : m_text(text ? text : L"") {}
    CString(const std::wstring& text) : m_text(text) {}
    CString(LPCWSTR text, int length) : m_text(text ? std::wstring(text, length) : L"") {}

    // Loads a string resource from the framework's resource module; false
    // (and empty) when the id has no string.
    BOOL LoadString(UINT id);
    void Format(LPCWSTR format, ...);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    LPCWSTR GetString() const { return m_text.c_str(); }
    operator LPCWSTR() const { return m_text.c_str(); }
    const std::wstring& Str() const { return m_text; }

    int Compare(LPCWSTR other) const { return wcscmp(m_text.c_str(), other ? other : L""); }
    int CompareNoCase(LPCWSTR other) const;

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_text + b.m_text);
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }

private:
    std::wstring m_text;
};
