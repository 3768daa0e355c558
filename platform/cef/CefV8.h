// Script values and contexts of the render process.
#pragma once

#include "cef/CefBase.h"
#include "cef/CefString.h"

#include <vector>

class CefBrowser;
class CefFrame;
class CefV8Handler;
class CefV8Value;

using CefV8ValueList = std::vector<CefRefPtr<CefV8Value>>;

enum cef_v8_propertyattribute_t {
    V8_PROPERTY_ATTRIBUTE_NONE = 0,
    V8_PROPERTY_ATTRIBUTE_READONLY = 1 << 0,
    V8_PROPERTY_ATTRIBUTE_DONTENUM = 1 << 1,
    V8_PROPERTY_ATTRIBUTE_DONTDELETE = 1 << 2,
};
using CefV8PropertyAttribute = cef_v8_propertyattribute_t;

class CefV8Context : public virtual CefBase {
public:
    virtual bool IsValid() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual CefRefPtr<CefFrame> GetFrame() = 0;
    virtual CefRefPtr<CefV8Value> GetGlobal() = 0;
};

class CefV8Value : public virtual CefBase {
public:
    static CefRefPtr<CefV8Value> CreateUndefined();
    static CefRefPtr<CefV8Value> CreateNull();
    static CefRefPtr<CefV8Value> CreateBool(bool value);
    static CefRefPtr<CefV8Value> CreateInt(int value);
    static CefRefPtr<CefV8Value> CreateDouble(double value);
    static CefRefPtr<CefV8Value> CreateString(const CefString& value);
    static CefRefPtr<CefV8Value> CreateObject();
    static CefRefPtr<CefV8Value> CreateFunction(const CefString& name,
                                                CefRefPtr<CefV8Handler> handler);

    virtual bool IsValid() = 0;
    virtual bool IsUndefined() = 0;
    virtual bool IsNull() = 0;
    virtual bool IsBool() = 0;
    virtual bool IsInt() = 0;
    virtual bool IsDouble() = 0;
    virtual bool IsString() = 0;
    virtual bool IsObject() = 0;
    virtual bool IsFunction() = 0;
    virtual bool GetBoolValue() = 0;
    virtual int GetIntValue() = 0;
    virtual double GetDoubleValue() = 0;
    // Empty for a value that is not a string.
    virtual CefString GetStringValue() = 0;
    // Objects: named properties.
    virtual bool HasValue(const CefString& key) = 0;
    virtual CefRefPtr<CefV8Value> GetValue(const CefString& key) = 0;
    virtual bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value,
                          CefV8PropertyAttribute attribute) = 0;
    // Functions.
    virtual CefString GetFunctionName() = 0;
    virtual CefRefPtr<CefV8Handler> GetFunctionHandler() = 0;
};

class CefV8Handler : public virtual CefBase {
public:
    // True when the call was handled; retval and exception may be set.
    virtual bool Execute(const CefString& name, CefRefPtr<CefV8Value> object,
                         const CefV8ValueList& arguments, CefRefPtr<CefV8Value>& retval,
                         CefString& exception) = 0;
};
