// Small owners for GDI resources, so every exit path gives them back.
#pragma once

#include <windows.h>

class ScopedScreenDC {
public:
    ScopedScreenDC() : m_dc(GetDC(nullptr)) {}
    ~ScopedScreenDC() {
        if (m_dc) ReleaseDC(nullptr, m_dc);
    }
    ScopedScreenDC(const ScopedScreenDC&) = delete;
    ScopedScreenDC& operator=(const ScopedScreenDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC compatible) : m_dc(CreateCompatibleDC(compatible)) {}
    ~ScopedMemoryDC() {
        if (m_dc) DeleteDC(m_dc);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

class ScopedGdiObject {
public:
    explicit ScopedGdiObject(HGDIOBJ object) : m_object(object) {}
    ~ScopedGdiObject() {
        if (m_object) DeleteObject(m_object);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    HGDIOBJ get() const { return m_object; }

private:
    HGDIOBJ m_object;
};

// Selects an object into a device context for the owner's lifetime.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~ScopedSelectObject() {
        if (m_previous) SelectObject(m_dc, m_previous);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
