#include "cef/CefString.h"

#include "cef/backend/Utf8Codec.h"

CefString::CefString(const std::string& utf8) : m_text(cefimpl::FromUtf8(utf8)) {}

std::string CefString::ToString() const { return cefimpl::ToUtf8(m_text); }
