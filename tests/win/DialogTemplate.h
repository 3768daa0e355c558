// Reads an extended dialog template (DLGTEMPLATEEX) from a resource, so tests
// can check the values the resource compiler stored.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct DialogItem {
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring className;  // "#128" style ordinals are spelled out as numbers
    std::wstring text;
};

struct DialogTemplate {
    bool valid = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    int cx = 0, cy = 0;
    std::wstring caption;
    int pointSize = 0;
    std::wstring font;
    std::vector<DialogItem> items;
};

DialogTemplate ReadDialogTemplate(HMODULE module, int id);
