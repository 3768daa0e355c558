#include "browser/Ve360Z8Ovarero.h"

#include "cef/CefTask.h"

namespace {

// Pages call us with anything: missing arguments and non-strings give "".
CefString StringArgument(const CefV8ValueList& arguments, size_t index) {
    if (index >= arguments.size()) return CefString();
    const CefRefPtr<CefV8Value>& value = arguments[index];
    return value && value->IsString() ? value->GetStringValue() : CefString();
}

}  // namespace

bool Ve360Z8Ovarero::Execute(const CefString& name, CefRefPtr<CefV8Value> object,
                             const CefV8ValueList& arguments, CefRefPtr<CefV8Value>& retval,
                             CefString& exception) {
    REQUIRE_RENDERER_THREAD();
    (void)object, (void)retval, (void)exception;
    if (name != CefString(u"OpenGameWindow")) return false;

    // The page passes (caption, url); the browser side reads [url, caption].
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("PopGameWindow");
    CefRefPtr<CefListValue> args = message->GetArgumentList();
    args->SetString(0, StringArgument(arguments, 1));
    args->SetString(1, StringArgument(arguments, 0));
    args->SetString(2, CefString());
    if (m_browser) m_browser->SendProcessMessage(PID_BROWSER, message);
    // Leaving retval and exception alone: the script sees undefined.
    return true;
}
