// The answer to a before-unload dialog. The test page has nothing to unload,
// so the answer changes nothing.
#pragma once

#include "cef/CefClient.h"

namespace cefimpl {

class CefJSDialogCallbackImpl : public CefJSDialogCallback {
public:
    void Continue(bool, const CefString&) override {}

    IMPLEMENT_REFCOUNTING(CefJSDialogCallbackImpl);
};

}  // namespace cefimpl
