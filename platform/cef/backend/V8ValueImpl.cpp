#include "cef/backend/V8ValueImpl.h"

#include <climits>
#include <cmath>

namespace cefimpl {

CefRefPtr<CefV8ValueImpl> CefV8ValueImpl::Bool(bool value) {
    CefRefPtr<CefV8ValueImpl> v = new CefV8ValueImpl(Kind::kBool);
    v->m_bool = value;
    return v;
}

CefRefPtr<CefV8ValueImpl> CefV8ValueImpl::Int(int value) {
    CefRefPtr<CefV8ValueImpl> v = new CefV8ValueImpl(Kind::kInt);
    v->m_int = value;
    return v;
}

CefRefPtr<CefV8ValueImpl> CefV8ValueImpl::Double(double value) {
    CefRefPtr<CefV8ValueImpl> v = new CefV8ValueImpl(Kind::kDouble);
    v->m_double = value;
    return v;
}

CefRefPtr<CefV8ValueImpl> CefV8ValueImpl::String(const CefString& value) {
    CefRefPtr<CefV8ValueImpl> v = new CefV8ValueImpl(Kind::kString);
    v->m_string = value;
    return v;
}

CefRefPtr<CefV8ValueImpl> CefV8ValueImpl::Function(const CefString& name,
                                                   CefRefPtr<CefV8Handler> handler) {
    CefRefPtr<CefV8ValueImpl> v = new CefV8ValueImpl(Kind::kFunction);
    v->m_functionName = name;
    v->m_handler = handler;
    return v;
}

// Script numbers are doubles; one with an integral value in range is an int
// as well, as the engine reports it.
bool CefV8ValueImpl::IsInt() {
    if (m_kind == Kind::kInt) return true;
    return m_kind == Kind::kDouble && std::trunc(m_double) == m_double && m_double >= INT_MIN &&
           m_double <= INT_MAX;
}

int CefV8ValueImpl::GetIntValue() {
    if (m_kind == Kind::kInt) return m_int;
    return IsInt() ? static_cast<int>(m_double) : 0;
}

double CefV8ValueImpl::GetDoubleValue() {
    if (m_kind == Kind::kInt) return m_int;
    return m_kind == Kind::kDouble ? m_double : 0;
}

CefString CefV8ValueImpl::GetStringValue() {
    return m_kind == Kind::kString ? m_string : CefString();
}

bool CefV8ValueImpl::HasValue(const CefString& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_properties.count(key.ToString16()) != 0;
}

CefRefPtr<CefV8Value> CefV8ValueImpl::GetValue(const CefString& key) {
    if (!IsObject()) return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_properties.find(key.ToString16());
    if (it == m_properties.end()) return new CefV8ValueImpl(Kind::kUndefined);
    return it->second.value;
}

bool CefV8ValueImpl::SetValue(const CefString& key, CefRefPtr<CefV8Value> value,
                              CefV8PropertyAttribute attribute) {
    if (!IsObject() || !value) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_properties.find(key.ToString16());
    if (it != m_properties.end() && (it->second.attribute & V8_PROPERTY_ATTRIBUTE_READONLY)) {
        return false;
    }
    m_properties[key.ToString16()] = Property{value, attribute};
    return true;
}

std::vector<std::u16string> CefV8ValueImpl::FunctionNames() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::u16string> names;
    for (const auto& entry : m_properties) {
        CefRefPtr<CefV8Value> value = entry.second.value;
        if (value->IsFunction() && value->GetFunctionHandler()) names.push_back(entry.first);
    }
    return names;
}

void CefV8ValueImpl::ClearProperties() {
    std::map<std::u16string, Property> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dropped.swap(m_properties);
    }
    // Released outside the lock: a released value may clear its own.
}

}  // namespace cefimpl

using cefimpl::CefV8ValueImpl;

CefRefPtr<CefV8Value> CefV8Value::CreateUndefined() {
    return new CefV8ValueImpl(CefV8ValueImpl::Kind::kUndefined);
}
CefRefPtr<CefV8Value> CefV8Value::CreateNull() {
    return new CefV8ValueImpl(CefV8ValueImpl::Kind::kNull);
}
CefRefPtr<CefV8Value> CefV8Value::CreateBool(bool value) { return CefV8ValueImpl::Bool(value); }
CefRefPtr<CefV8Value> CefV8Value::CreateInt(int value) { return CefV8ValueImpl::Int(value); }
CefRefPtr<CefV8Value> CefV8Value::CreateDouble(double value) {
    return CefV8ValueImpl::Double(value);
}
CefRefPtr<CefV8Value> CefV8Value::CreateString(const CefString& value) {
    return CefV8ValueImpl::String(value);
}
CefRefPtr<CefV8Value> CefV8Value::CreateObject() {
    return new CefV8ValueImpl(CefV8ValueImpl::Kind::kObject);
}
CefRefPtr<CefV8Value> CefV8Value::CreateFunction(const CefString& name,
                                                 CefRefPtr<CefV8Handler> handler) {
    return CefV8ValueImpl::Function(name, handler);
}
