// A named process message with its argument list.
#pragma once

#include "cef/CefValues.h"
#include "cef/backend/ListValueImpl.h"

namespace cefimpl {

class CefProcessMessageImpl : public CefProcessMessage {
public:
    CefProcessMessageImpl(const CefString& name, CefRefPtr<CefListValueImpl> arguments)
        : m_name(name), m_arguments(arguments) {}

    // The argument list in its concrete type, for the wire.
    CefRefPtr<CefListValueImpl> Arguments() { return m_arguments; }

    bool IsValid() override { return true; }
    CefString GetName() override { return m_name; }
    CefRefPtr<CefListValue> GetArgumentList() override { return m_arguments.get(); }
    CefRefPtr<CefProcessMessage> Copy() override;

private:
    const CefString m_name;
    const CefRefPtr<CefListValueImpl> m_arguments;

    IMPLEMENT_REFCOUNTING(CefProcessMessageImpl);
};

}  // namespace cefimpl
