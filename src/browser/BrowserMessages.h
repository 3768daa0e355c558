// The messages the client handler sends to a browser's host window (the
// parent of the browser's own window), and the records some of them carry.
// Every one is a synchronous SendMessageW from an engine thread: pointers in
// wParam and lParam are valid only until the receiver returns.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>

// wParam: HTTP status code.
constexpr UINT WM_BROWSER_LOADEND = WM_APP + 0x12E;
// wParam: page title (may be null when empty).
constexpr UINT WM_BROWSER_TITLECHANGE = WM_APP + 0x12F;
// wParam: the frame's new URL (may be null when empty).
constexpr UINT WM_BROWSER_ADDRESSCHANGE = WM_APP + 0x130;
// wParam: bit 0 loading, bit 1 can go back, bit 2 can go forward.
constexpr UINT WM_BROWSER_LOADINGSTATE = WM_APP + 0x131;
// wParam: status text (may be null when empty).
constexpr UINT WM_BROWSER_STATUSMESSAGE = WM_APP + 0x132;
// wParam: target URL, lParam: target frame name. Result 1 cancels the popup.
constexpr UINT WM_BROWSER_BEFOREPOPUP = WM_APP + 0x139;
// wParam: the CefProcessMessage "PopGameWindow" [url, caption, frame name].
constexpr UINT WM_BROWSER_POPGAMEWINDOW = WM_APP + 0x13A;
// wParam: browser identifier, lParam: the CefBrowser; the receiver takes its
// own reference.
constexpr UINT WM_BROWSER_AFTERCREATED = WM_APP + 0x13B;
// wParam: the URL whose host name could not be resolved.
constexpr UINT WM_BROWSER_NAMENOTRESOLVED = WM_APP + 0x145;
// wParam: request URL, lParam: 1 for a redirect. Result 1 cancels.
constexpr UINT WM_BROWSER_BEFOREBROWSE = WM_APP + 0x15E;
// wParam: BrowserDownloadState*.
constexpr UINT WM_BROWSER_DOWNLOADUPDATED = WM_APP + 0x163;
// wParam: BrowserAuthRequest*. Result 0 continues with its user and password.
constexpr UINT WM_BROWSER_AUTHCREDENTIALS = WM_APP + 0x172;

constexpr size_t kBrowserAuthTextChars = 1024;

struct BrowserAuthRequest {
    const wchar_t* host;
    const wchar_t* realm;
    // Start empty; the receiver fills them in.
    wchar_t user[kBrowserAuthTextChars];
    wchar_t password[kBrowserAuthTextChars];
};

struct BrowserDownloadState {
    int32_t valid;
    int32_t inProgress;
    int32_t complete;
    int32_t canceled;
    // -1 while the total size is unknown.
    int32_t percent;
    int64_t speed;
    int64_t received;
    int64_t total;
};

// Receivers read these records by layout.
static_assert(offsetof(BrowserAuthRequest, user) == 2 * sizeof(void*), "record layout");
static_assert(offsetof(BrowserDownloadState, percent) == 16, "record layout");
static_assert(offsetof(BrowserDownloadState, speed) == 24, "record layout");
static_assert(sizeof(BrowserDownloadState) == 48, "record layout");
