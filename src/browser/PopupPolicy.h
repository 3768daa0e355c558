// Where a popup from a login panel goes: the engine's own popup window
// (sign-in flows), the game window, or the external browser. Portable: the
// caller parses the URLs with the engine and hands over the parts.
#pragma once

#include <string>

enum class PopupRoute {
    kCancel,       // no browser yet: nothing may open
    kEnginePopup,  // an "oauth" sign-in: the engine opens its popup
    kGameRequest,  // the page asks for the game window
    kExternal,     // everything else: the external web browser
};

struct PopupTarget {
    std::u16string url;        // as the page gave it
    std::u16string frameName;  // target frame name
    std::u16string host;       // host of the parsed URL; empty when it has none
    std::u16string spec;       // the parsed, canonical URL
};

struct PopupDecision {
    PopupRoute route = PopupRoute::kCancel;
    // For kExternal: what the external browser is asked to open.
    std::u16string resolvedUrl;
};

PopupDecision DecidePopup(bool hasBrowser, const PopupTarget& target,
                          const std::u16string& currentHost);

// Case-insensitive substring test for ASCII patterns, as the shell's
// StrStrIW does for them.
bool ContainsNoCase(const std::u16string& text, const std::u16string& pattern);
