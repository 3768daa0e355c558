#include "cef/backend/WireValues.h"

#include <cstdio>

namespace cefimpl {
namespace {

using cef_testing::ScriptArg;

void WriteTag(WireWriter& writer, WireValueTag tag) { writer.U8(static_cast<uint8_t>(tag)); }

// Every value takes at least its tag byte, so a count beyond the bytes left
// is a lie.
bool ReadCount(WireReader& reader, uint32_t& count) {
    count = reader.U32();
    if (count > reader.Remaining()) reader.Fail();
    return reader.Ok();
}

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

void WriteList(WireWriter& writer, CefRefPtr<CefListValue> list) {
    size_t size = list ? list->GetSize() : 0;
    writer.U32(static_cast<uint32_t>(size));
    for (size_t i = 0; i < size; ++i) {
        switch (list->GetType(i)) {
            case VTYPE_BOOL:
                WriteTag(writer, WireValueTag::kBool);
                writer.Bool(list->GetBool(i));
                break;
            case VTYPE_INT:
                WriteTag(writer, WireValueTag::kInt);
                writer.I32(list->GetInt(i));
                break;
            case VTYPE_DOUBLE:
                WriteTag(writer, WireValueTag::kDouble);
                writer.F64(list->GetDouble(i));
                break;
            case VTYPE_STRING:
                WriteTag(writer, WireValueTag::kString);
                writer.Str(list->GetString(i).ToString16());
                break;
            default:
                WriteTag(writer, WireValueTag::kNull);
                break;
        }
    }
}

CefRefPtr<CefListValueImpl> ReadList(WireReader& reader) {
    uint32_t count = 0;
    if (!ReadCount(reader, count)) return nullptr;
    CefRefPtr<CefListValueImpl> list = new CefListValueImpl();
    list->SetSize(count);
    for (uint32_t i = 0; i < count && reader.Ok(); ++i) {
        switch (static_cast<WireValueTag>(reader.U8())) {
            case WireValueTag::kNull:
                break;
            case WireValueTag::kBool:
                list->SetBool(i, reader.Bool());
                break;
            case WireValueTag::kInt:
                list->SetInt(i, reader.I32());
                break;
            case WireValueTag::kDouble:
                list->SetDouble(i, reader.F64());
                break;
            case WireValueTag::kString:
                list->SetString(i, reader.Str());
                break;
            default:
                reader.Fail();
        }
    }
    return reader.Ok() ? list : nullptr;
}

void WriteScriptArgs(WireWriter& writer, const std::vector<ScriptArg>& args) {
    writer.U32(static_cast<uint32_t>(args.size()));
    for (const ScriptArg& arg : args) {
        switch (arg.kind) {
            case ScriptArg::kNull:
                WriteTag(writer, WireValueTag::kNull);
                break;
            case ScriptArg::kBool:
                WriteTag(writer, WireValueTag::kBool);
                writer.Bool(arg.boolValue);
                break;
            case ScriptArg::kInt:
                WriteTag(writer, WireValueTag::kInt);
                writer.I32(arg.intValue);
                break;
            case ScriptArg::kDouble:
                WriteTag(writer, WireValueTag::kDouble);
                writer.F64(arg.doubleValue);
                break;
            case ScriptArg::kString:
                WriteTag(writer, WireValueTag::kString);
                writer.Str(arg.stringValue);
                break;
            default:
                WriteTag(writer, WireValueTag::kUndefined);
                break;
        }
    }
}

std::vector<ScriptArg> ReadScriptArgs(WireReader& reader) {
    std::vector<ScriptArg> args;
    uint32_t count = 0;
    if (!ReadCount(reader, count)) return args;
    for (uint32_t i = 0; i < count && reader.Ok(); ++i) {
        ScriptArg arg;
        switch (static_cast<WireValueTag>(reader.U8())) {
            case WireValueTag::kUndefined:
                break;
            case WireValueTag::kNull:
                arg.kind = ScriptArg::kNull;
                break;
            case WireValueTag::kBool:
                arg = ScriptArg::Bool(reader.Bool());
                break;
            case WireValueTag::kInt:
                arg = ScriptArg::Int(reader.I32());
                break;
            case WireValueTag::kDouble:
                arg = ScriptArg::Double(reader.F64());
                break;
            case WireValueTag::kString:
                arg = ScriptArg::String(reader.Str());
                break;
            default:
                reader.Fail();
        }
        args.push_back(arg);
    }
    return args;
}

std::vector<std::u16string> ListAsFields(CefRefPtr<CefListValue> list) {
    std::vector<std::u16string> fields;
    size_t size = list ? list->GetSize() : 0;
    for (size_t i = 0; i < size; ++i) {
        switch (list->GetType(i)) {
            case VTYPE_BOOL:
                fields.push_back(list->GetBool(i) ? u"true" : u"false");
                break;
            case VTYPE_INT:
                fields.push_back(Ascii(std::to_string(list->GetInt(i))));
                break;
            case VTYPE_DOUBLE: {
                char text[32];
                snprintf(text, sizeof text, "%.17g", list->GetDouble(i));
                fields.push_back(Ascii(text));
                break;
            }
            case VTYPE_STRING:
                fields.push_back(list->GetString(i).ToString16());
                break;
            default:
                fields.push_back(u"null");
                break;
        }
    }
    return fields;
}

}  // namespace cefimpl
