// A script value of the render process's page model. Objects (functions
// too) carry named properties; a function value runs its handler.
#pragma once

#include "cef/CefV8.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace cefimpl {

class CefV8ValueImpl : public CefV8Value {
public:
    enum class Kind { kUndefined, kNull, kBool, kInt, kDouble, kString, kObject, kFunction };

    explicit CefV8ValueImpl(Kind kind) : m_kind(kind) {}
    static CefRefPtr<CefV8ValueImpl> Bool(bool value);
    static CefRefPtr<CefV8ValueImpl> Int(int value);
    static CefRefPtr<CefV8ValueImpl> Double(double value);
    static CefRefPtr<CefV8ValueImpl> String(const CefString& value);
    static CefRefPtr<CefV8ValueImpl> Function(const CefString& name,
                                              CefRefPtr<CefV8Handler> handler);

    bool IsValid() override { return true; }
    bool IsUndefined() override { return m_kind == Kind::kUndefined; }
    bool IsNull() override { return m_kind == Kind::kNull; }
    bool IsBool() override { return m_kind == Kind::kBool; }
    bool IsInt() override;
    bool IsDouble() override { return m_kind == Kind::kInt || m_kind == Kind::kDouble; }
    bool IsString() override { return m_kind == Kind::kString; }
    bool IsObject() override { return m_kind == Kind::kObject || m_kind == Kind::kFunction; }
    bool IsFunction() override { return m_kind == Kind::kFunction; }
    bool GetBoolValue() override { return m_kind == Kind::kBool && m_bool; }
    int GetIntValue() override;
    double GetDoubleValue() override;
    CefString GetStringValue() override;
    bool HasValue(const CefString& key) override;
    CefRefPtr<CefV8Value> GetValue(const CefString& key) override;
    bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value,
                  CefV8PropertyAttribute attribute) override;
    CefString GetFunctionName() override { return m_functionName; }
    CefRefPtr<CefV8Handler> GetFunctionHandler() override { return m_handler; }

    // The names of the properties that are functions with a handler: what a
    // page's script may call.
    std::vector<std::u16string> FunctionNames();
    // Drops every property, so that values referring to each other (a
    // handler holding the browser whose global holds the handler) let go.
    void ClearProperties();

private:
    struct Property {
        CefRefPtr<CefV8Value> value;
        CefV8PropertyAttribute attribute = V8_PROPERTY_ATTRIBUTE_NONE;
    };

    const Kind m_kind;
    bool m_bool = false;
    int m_int = 0;
    double m_double = 0;
    CefString m_string;
    CefString m_functionName;
    CefRefPtr<CefV8Handler> m_handler;
    std::mutex m_mutex;
    std::map<std::u16string, Property> m_properties;

    IMPLEMENT_REFCOUNTING(CefV8ValueImpl);
};

}  // namespace cefimpl
