// What a page tells the backend through the one binding every frame of a
// page has: a popup it asked for, where the keyboard focus went, and a call
// of a function the client made callable. The page side is the script the
// backend puts into every new document (PageScript); each signal is one JSON
// text.
#pragma once

#include "cef/CefTesting.h"

#include <optional>
#include <string>
#include <vector>

namespace cefimpl::chromium {

// The name of the binding, on every frame's global object.
extern const char kSignalBinding[];

// One argument of a call, as the page passed it: the same values the
// engine hands a function of the render side.
using SignalValue = cef_testing::ScriptArg;

struct PageSignal {
    enum Kind { kPopup, kFocus, kCall } kind = kPopup;
    // kPopup: the address (resolved against the page) and the frame name.
    std::u16string url;
    std::u16string frameName;
    // kFocus: whether an element other than the body has the focus, and its
    // title attribute.
    bool element = false;
    bool hasTitle = false;
    std::u16string title;
    // kCall: the function and its arguments.
    std::u16string function;
    std::vector<SignalValue> args;
};

// Nothing for a payload that is not one of the signals above: a page may
// call the binding itself, with anything.
std::optional<PageSignal> ParsePageSignal(const std::string& payload);

// The script every new document runs before its own: window.open and links
// with a target become popup signals, focus changes become focus signals.
std::string PageScript();

// The script that makes `names` callable in a document; each call becomes
// a call signal.
std::string FunctionsScript(const std::vector<std::u16string>& names);

}  // namespace cefimpl::chromium
