// Values carried by process messages: a name and a list of values.
#pragma once

#include "cef/CefBase.h"
#include "cef/CefString.h"

enum cef_value_type_t {
    VTYPE_INVALID = 0,
    VTYPE_NULL,
    VTYPE_BOOL,
    VTYPE_INT,
    VTYPE_DOUBLE,
    VTYPE_STRING,
};
using CefValueType = cef_value_type_t;

enum cef_process_id_t {
    PID_BROWSER,
    PID_RENDERER,
};
using CefProcessId = cef_process_id_t;

class CefListValue : public virtual CefBase {
public:
    static CefRefPtr<CefListValue> Create();

    virtual bool IsValid() = 0;
    virtual bool SetSize(size_t size) = 0;
    virtual size_t GetSize() = 0;
    virtual bool Clear() = 0;
    virtual CefValueType GetType(size_t index) = 0;
    // Values of another type, and indexes past the end, read as empty/zero.
    virtual bool GetBool(size_t index) = 0;
    virtual int GetInt(size_t index) = 0;
    virtual double GetDouble(size_t index) = 0;
    virtual CefString GetString(size_t index) = 0;
    // Setting past the end grows the list.
    virtual bool SetNull(size_t index) = 0;
    virtual bool SetBool(size_t index, bool value) = 0;
    virtual bool SetInt(size_t index, int value) = 0;
    virtual bool SetDouble(size_t index, double value) = 0;
    virtual bool SetString(size_t index, const CefString& value) = 0;
    virtual CefRefPtr<CefListValue> Copy() = 0;
};

class CefProcessMessage : public virtual CefBase {
public:
    static CefRefPtr<CefProcessMessage> Create(const CefString& name);

    virtual bool IsValid() = 0;
    virtual CefString GetName() = 0;
    virtual CefRefPtr<CefListValue> GetArgumentList() = 0;
    virtual CefRefPtr<CefProcessMessage> Copy() = 0;
};
