// Reference counting of engine objects: every engine interface derives
// virtually from CefBase, and CefRefPtr holds a counted reference.
#pragma once

#include <atomic>
#include <cstddef>
#include <utility>

class CefBase {
public:
    virtual void AddRef() const = 0;
    // True when this call released the last reference and deleted the object.
    virtual bool Release() const = 0;
    virtual bool HasOneRef() const = 0;

protected:
    virtual ~CefBase() = default;
};

class CefRefCount {
public:
    void AddRef() const { m_count.fetch_add(1, std::memory_order_relaxed); }
    bool Release() const { return m_count.fetch_sub(1, std::memory_order_acq_rel) == 1; }
    bool HasOneRef() const { return m_count.load(std::memory_order_acquire) == 1; }

private:
    mutable std::atomic<int> m_count{0};
};

// Gives a concrete class its reference count; the object deletes itself when
// the last reference goes.
#define IMPLEMENT_REFCOUNTING(ClassName)                                   \
public:                                                                    \
    void AddRef() const override { m_refCount.AddRef(); }                  \
    bool Release() const override {                                        \
        if (m_refCount.Release()) {                                        \
            delete static_cast<const ClassName*>(this);                    \
            return true;                                                   \
        }                                                                  \
        return false;                                                      \
    }                                                                      \
    bool HasOneRef() const override { return m_refCount.HasOneRef(); }     \
                                                                           \
private:                                                                   \
    CefRefCount m_refCount

template <class T>
class CefRefPtr {
public:
    CefRefPtr() = default;
    CefRefPtr(std::nullptr_t) {}
    CefRefPtr(T* object) : m_object(object) {
        if (m_object) m_object->AddRef();
    }
    CefRefPtr(const CefRefPtr& other) : CefRefPtr(other.m_object) {}
    template <class U>
    CefRefPtr(const CefRefPtr<U>& other) : CefRefPtr(other.get()) {}
    CefRefPtr(CefRefPtr&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
    ~CefRefPtr() {
        if (m_object) m_object->Release();
    }

    CefRefPtr& operator=(CefRefPtr other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    operator T*() const { return m_object; }

private:
    T* m_object = nullptr;
};
