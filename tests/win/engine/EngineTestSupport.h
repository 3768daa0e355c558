// Waiting in the tests' main thread, which owns the browsers' parent
// windows: engine threads reach it by SendMessageW, so every wait pumps.
#pragma once

#include "TestClient.h"

#include "cef/CefBrowser.h"

#include <functional>
#include <string>

// Pumps messages until `done` holds or the time is up; the last `done`.
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 10000);
// Pumps messages for a while (to see that something does not happen).
void PumpFor(unsigned milliseconds);

// A child browser of `parent` with `client`, once the engine reported it
// and (for a non-empty url) its render process made the main frame's
// script context. Null when that does not happen in time.
CefRefPtr<CefBrowser> OpenBrowser(CefRefPtr<TestClient> client, HWND parent,
                                  const CefString& url = "http://page.test/");

std::u16string U16(const std::string& utf8);
