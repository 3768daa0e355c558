// The engine's list of typed values, as process messages carry it.
#pragma once

#include "cef/CefValues.h"

#include <mutex>
#include <vector>

namespace cefimpl {

struct ListEntry {
    CefValueType type = VTYPE_NULL;
    bool boolValue = false;
    int intValue = 0;
    double doubleValue = 0;
    CefString stringValue;
};

class CefListValueImpl : public CefListValue {
public:
    CefListValueImpl() = default;
    explicit CefListValueImpl(std::vector<ListEntry> entries) : m_entries(std::move(entries)) {}

    // A copy of every entry, for the wire and for Copy().
    std::vector<ListEntry> Entries();

    bool IsValid() override { return true; }
    bool SetSize(size_t size) override;
    size_t GetSize() override;
    bool Clear() override;
    CefValueType GetType(size_t index) override;
    bool GetBool(size_t index) override;
    int GetInt(size_t index) override;
    double GetDouble(size_t index) override;
    CefString GetString(size_t index) override;
    bool SetNull(size_t index) override;
    bool SetBool(size_t index, bool value) override;
    bool SetInt(size_t index, int value) override;
    bool SetDouble(size_t index, double value) override;
    bool SetString(size_t index, const CefString& value) override;
    CefRefPtr<CefListValue> Copy() override;

private:
    // Reads the entry at `index` when it has the wanted type, else a default.
    ListEntry Read(size_t index, CefValueType wanted);
    bool Write(size_t index, ListEntry entry);

    // A message's list may be filled on one thread and sent from another.
    std::mutex m_mutex;
    std::vector<ListEntry> m_entries;

    IMPLEMENT_REFCOUNTING(CefListValueImpl);
};

}  // namespace cefimpl
