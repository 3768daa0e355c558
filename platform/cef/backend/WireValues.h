// Value lists on the wire: process message arguments and script call
// arguments (which may also be undefined).
#pragma once

#include "cef/CefTesting.h"
#include "cef/CefValues.h"
#include "cef/backend/ListValueImpl.h"
#include "cef/backend/WireReader.h"
#include "cef/backend/WireWriter.h"

#include <vector>

namespace cefimpl {

void WriteList(WireWriter& writer, CefRefPtr<CefListValue> list);
// Null when the list is malformed (the reader has failed then).
CefRefPtr<CefListValueImpl> ReadList(WireReader& reader);

void WriteScriptArgs(WireWriter& writer, const std::vector<cef_testing::ScriptArg>& args);
std::vector<cef_testing::ScriptArg> ReadScriptArgs(WireReader& reader);

// The list's values as record fields ("true", "42", "1.5", "null", text).
std::vector<std::u16string> ListAsFields(CefRefPtr<CefListValue> list);

}  // namespace cefimpl
