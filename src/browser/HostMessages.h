// The message a login panel's host window sends its parent, the login
// window, when the page asks for the game.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// wParam: game page address, lParam: server caption text; both
// zero-terminated UTF-16, valid only during the call. Result 0.
constexpr UINT WM_OPEN_GAME = WM_APP + 1;
