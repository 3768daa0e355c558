// The deterministic backend: no real browser. A navigation completes at
// once (address, loading, a new script context in the render process, load
// end with 200); everything else a page does comes from the automation
// (see PageEvents). The window shows the address and the title.
#pragma once

#include "cef/backend/EngineBackend.h"

namespace cefimpl {

class TestBackend : public EngineBackend {
public:
    const char* Name() const override { return "test"; }
    void Navigate(BrowserHostImpl& browser, int frameIndex, const CefString& url) override;
    void Paint(BrowserHostImpl& browser, HDC dc, const RECT& client) override;
};

std::unique_ptr<EngineBackend> CreateTestBackend();

}  // namespace cefimpl
