// The engine's string: UTF-16 text. As in the engine's C interface, an empty
// string hands out a null pointer from c_str(); receivers must accept both.
#pragma once

#include <string>

class CefString {
public:
    CefString() = default;
    CefString(const std::u16string& text) : m_text(text) {}
    CefString(const char16_t* text) : m_text(text ? text : u"") {}
    CefString(const std::wstring& text) : m_text(text.begin(), text.end()) {}
    CefString(const wchar_t* text) : CefString(std::wstring(text ? text : L"")) {}
    // UTF-8 text.
    CefString(const std::string& utf8);
    CefString(const char* utf8) : CefString(std::string(utf8 ? utf8 : "")) {}

    bool empty() const { return m_text.empty(); }
    size_t length() const { return m_text.size(); }
    void clear() { m_text.clear(); }
    const wchar_t* c_str() const {
        return m_text.empty() ? nullptr : reinterpret_cast<const wchar_t*>(m_text.c_str());
    }
    std::wstring ToWString() const { return std::wstring(m_text.begin(), m_text.end()); }
    std::string ToString() const;  // UTF-8
    const std::u16string& ToString16() const { return m_text; }

    friend bool operator==(const CefString& a, const CefString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CefString& a, const CefString& b) { return a.m_text != b.m_text; }
    friend bool operator<(const CefString& a, const CefString& b) { return a.m_text < b.m_text; }

private:
    std::u16string m_text;
};

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the engine's text is UTF-16");
