#include "cef/backend/ListValueImpl.h"

namespace cefimpl {

std::vector<ListEntry> CefListValueImpl::Entries() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
}

bool CefListValueImpl::SetSize(size_t size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.resize(size);
    return true;
}

size_t CefListValueImpl::GetSize() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

bool CefListValueImpl::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
    return true;
}

CefValueType CefListValueImpl::GetType(size_t index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_entries.size() ? m_entries[index].type : VTYPE_INVALID;
}

ListEntry CefListValueImpl::Read(size_t index, CefValueType wanted) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < m_entries.size() && m_entries[index].type == wanted) return m_entries[index];
    return ListEntry();
}

bool CefListValueImpl::GetBool(size_t index) { return Read(index, VTYPE_BOOL).boolValue; }
int CefListValueImpl::GetInt(size_t index) { return Read(index, VTYPE_INT).intValue; }
double CefListValueImpl::GetDouble(size_t index) { return Read(index, VTYPE_DOUBLE).doubleValue; }
CefString CefListValueImpl::GetString(size_t index) {
    return Read(index, VTYPE_STRING).stringValue;
}

bool CefListValueImpl::Write(size_t index, ListEntry entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_entries.size()) m_entries.resize(index + 1);
    m_entries[index] = std::move(entry);
    return true;
}

bool CefListValueImpl::SetNull(size_t index) { return Write(index, ListEntry()); }

bool CefListValueImpl::SetBool(size_t index, bool value) {
    ListEntry entry;
    entry.type = VTYPE_BOOL;
    entry.boolValue = value;
    return Write(index, std::move(entry));
}

bool CefListValueImpl::SetInt(size_t index, int value) {
    ListEntry entry;
    entry.type = VTYPE_INT;
    entry.intValue = value;
    return Write(index, std::move(entry));
}

bool CefListValueImpl::SetDouble(size_t index, double value) {
    ListEntry entry;
    entry.type = VTYPE_DOUBLE;
    entry.doubleValue = value;
    return Write(index, std::move(entry));
}

bool CefListValueImpl::SetString(size_t index, const CefString& value) {
    ListEntry entry;
    entry.type = VTYPE_STRING;
    entry.stringValue = value;
    return Write(index, std::move(entry));
}

CefRefPtr<CefListValue> CefListValueImpl::Copy() { return new CefListValueImpl(Entries()); }

}  // namespace cefimpl

CefRefPtr<CefListValue> CefListValue::Create() { return new cefimpl::CefListValueImpl(); }
