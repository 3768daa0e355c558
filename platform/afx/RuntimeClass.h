// CRuntimeClass: what the framework knows of a class at run time, enough to
// create an object of it from a pointer to its record (worker threads are
// started from their class this way) and to check what it derives from.
#pragma once

#include <windows.h>

class CCmdTarget;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    // Null for classes that cannot be created dynamically.
    CCmdTarget* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    // A new object of the class, owned by the caller; null when the class has
    // no creation function.
    CCmdTarget* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* baseClass) const;
};

#define RUNTIME_CLASS(ClassName) (&ClassName::class##ClassName)

// In the class: its runtime record, a creation function and the override of
// GetRuntimeClass (the base class must declare it virtual).
#define DECLARE_DYNCREATE(ClassName)       \
public:                                    \
    static CRuntimeClass class##ClassName; \
    static CCmdTarget* CreateObject();     \
    CRuntimeClass* GetRuntimeClass() const override;

// In one source file; the class needs a default constructor.
#define IMPLEMENT_DYNCREATE(ClassName, BaseClassName)                                           \
    CCmdTarget* ClassName::CreateObject() { return new ClassName; }                             \
    CRuntimeClass ClassName::class##ClassName = {                                               \
        #ClassName, sizeof(ClassName), &ClassName::CreateObject, RUNTIME_CLASS(BaseClassName)}; \
    CRuntimeClass* ClassName::GetRuntimeClass() const { return RUNTIME_CLASS(ClassName); }
