#include "cef/backend/chromium/PageSignal.h"

#include "cef/backend/Utf8Codec.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>

namespace cefimpl::chromium {

const char kSignalBinding[] = "__ashgroveSignal";

namespace {

using nlohmann::json;

// A signal is small; anything bigger, or nested deeper than an argument
// list of tagged values, is no signal of ours.
constexpr size_t kMaxPayloadBytes = 1 << 20;
constexpr int kMaxDepth = 4;

bool ReadText(const json& object, const char* key, std::u16string& text) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return false;
    text = FromUtf8(it->get<std::string>());
    return true;
}

bool ReadFlag(const json& object, const char* key, bool& flag) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_boolean()) return false;
    flag = it->get<bool>();
    return true;
}

std::optional<double> ReadDouble(const json& tagged) {
    if (tagged.is_number()) return tagged.get<double>();
    if (!tagged.is_string()) return std::nullopt;
    const std::string text = tagged.get<std::string>();
    if (text == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (text == "Infinity") return std::numeric_limits<double>::infinity();
    if (text == "-Infinity") return -std::numeric_limits<double>::infinity();
    return std::nullopt;
}

// Values come as the page script tags them: null, a boolean, a string, or
// {"u":1} undefined, {"i":n} an integer, {"d":x} any other number.
std::optional<SignalValue> ReadValue(const json& item) {
    SignalValue value;
    if (item.is_null()) {
        value.kind = SignalValue::kNull;
    } else if (item.is_boolean()) {
        value.kind = SignalValue::kBool;
        value.boolValue = item.get<bool>();
    } else if (item.is_string()) {
        value.kind = SignalValue::kString;
        value.stringValue = FromUtf8(item.get<std::string>());
    } else if (item.is_object() && item.size() == 1 && item.contains("u")) {
        value.kind = SignalValue::kUndefined;
    } else if (item.is_object() && item.size() == 1 && item.contains("i") &&
               item["i"].is_number_integer()) {
        const int64_t number = item["i"].get<int64_t>();
        if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
            return std::nullopt;
        value.kind = SignalValue::kInt;
        value.intValue = static_cast<int>(number);
    } else if (item.is_object() && item.size() == 1 && item.contains("d")) {
        std::optional<double> number = ReadDouble(item["d"]);
        if (!number) return std::nullopt;
        value.kind = SignalValue::kDouble;
        value.doubleValue = *number;
    } else {
        return std::nullopt;
    }
    return value;
}

std::optional<PageSignal> ReadCall(const json& message) {
    PageSignal signal;
    signal.kind = PageSignal::kCall;
    auto args = message.find("args");
    if (!ReadText(message, "name", signal.function) || args == message.end() || !args->is_array()) {
        return std::nullopt;
    }
    for (const json& item : *args) {
        std::optional<SignalValue> value = ReadValue(item);
        if (!value) return std::nullopt;
        signal.args.push_back(*value);
    }
    return signal;
}

}  // namespace

std::optional<PageSignal> ParsePageSignal(const std::string& payload) {
    if (payload.size() > kMaxPayloadBytes) return std::nullopt;
    bool tooDeep = false;
    json message = json::parse(
        payload,
        [&tooDeep](int depth, json::parse_event_t, json&) {
            if (depth > kMaxDepth) tooDeep = true;
            return !tooDeep;
        },
        false);
    if (tooDeep || !message.is_object()) return std::nullopt;
    std::u16string kind;
    if (!ReadText(message, "t", kind)) return std::nullopt;
    PageSignal signal;
    if (kind == u"popup") {
        signal.kind = PageSignal::kPopup;
        if (!ReadText(message, "url", signal.url) || !ReadText(message, "name", signal.frameName))
            return std::nullopt;
        return signal;
    }
    if (kind == u"focus") {
        signal.kind = PageSignal::kFocus;
        if (!ReadFlag(message, "element", signal.element) ||
            !ReadFlag(message, "hasTitle", signal.hasTitle) ||
            !ReadText(message, "title", signal.title))
            return std::nullopt;
        return signal;
    }
    if (kind == u"call") return ReadCall(message);
    return std::nullopt;
}

std::string PageScript() {
    // Runs in every frame before the document's own scripts. The listener
    // for links sits on the window and bubbles, so that it hears a click
    // after the page's own handlers and leaves alone what they cancelled.
    return std::string(
               "(() => {\n"
               "  const signal = window.") +
           kSignalBinding + R"(;
  if (typeof signal !== "function" || window.__ashgroveReady) return;
  Object.defineProperty(window, "__ashgroveReady", {value: true});
  const post = (message) => { try { signal(JSON.stringify(message)); } catch (e) {} };
  const resolve = (url) => {
    try { return new URL(String(url), document.baseURI).href; } catch (e) { return String(url); }
  };
  window.open = function (url, name) {
    post({t: "popup", url: url === undefined || url === "" ? "about:blank" : resolve(url),
          name: name === undefined ? "" : String(name)});
    return null;
  };
  window.addEventListener("click", (event) => {
    if (event.defaultPrevented || event.button !== 0) return;
    const link = event.target && event.target.closest ? event.target.closest("a[href]") : null;
    if (!link) return;
    const base = document.querySelector("base[target]");
    const target = link.target || (base ? base.target : "");
    if (!target || /^_(self|top|parent)$/i.test(target)) return;
    try { if (window.top.frames[target]) return; } catch (e) {}
    event.preventDefault();
    post({t: "popup", url: link.href, name: target});
  });
  const focus = () => {
    const element = document.activeElement;
    const real = !!element && element !== document.body && element !== document.documentElement;
    post({t: "focus", element: real, hasTitle: real && element.hasAttribute("title"),
          title: real ? element.getAttribute("title") || "" : ""});
  };
  document.addEventListener("focusin", focus, true);
  document.addEventListener("focusout", () => setTimeout(focus, 0), true);
})();
)";
}

std::string FunctionsScript(const std::vector<std::u16string>& names) {
    json list = json::array();
    for (const std::u16string& name : names) list.push_back(ToUtf8(name));
    return "((names) => {\n"
           "  const signal = window." +
           std::string(kSignalBinding) + R"(;
  if (typeof signal !== "function") return;
  const tag = (v) => {
    if (v === undefined) return {u: 1};
    if (v === null || typeof v === "boolean" || typeof v === "string") return v;
    if (typeof v === "number") {
      if (Number.isInteger(v) && v >= -2147483648 && v <= 2147483647) return {i: v};
      return {d: Number.isFinite(v) ? v : String(v)};
    }
    return String(v);
  };
  for (const name of names) {
    window[name] = function (...args) {
      signal(JSON.stringify({t: "call", name: name, args: args.map(tag)}));
    };
  }
})()" + list.dump() +
           ");\n";
}

}  // namespace cefimpl::chromium
