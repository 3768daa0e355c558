#include "browser/PopupPolicy.h"

namespace {
char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

// A host-less target (a bare path) is opened on the current page's host,
// written directly in front of it.
std::u16string Resolve(const PopupTarget& target, const std::u16string& currentHost) {
    return target.host.empty() ? currentHost + target.url : target.spec;
}
}  // namespace

bool ContainsNoCase(const std::u16string& text, const std::u16string& pattern) {
    if (pattern.empty()) return true;
    if (pattern.size() > text.size()) return false;
    for (size_t start = 0; start + pattern.size() <= text.size(); ++start) {
        size_t i = 0;
        while (i < pattern.size() && FoldAscii(text[start + i]) == FoldAscii(pattern[i])) ++i;
        if (i == pattern.size()) return true;
    }
    return false;
}

PopupDecision DecidePopup(bool hasBrowser, const PopupTarget& target,
                          const std::u16string& currentHost) {
    PopupDecision decision;
    if (!hasBrowser) return decision;
    if (ContainsNoCase(target.url, u"oauth")) {
        decision.route = PopupRoute::kEnginePopup;
    } else if (ContainsNoCase(target.frameName, u"_game") ||
               ContainsNoCase(target.url, u"target=\"_game\"")) {
        decision.route = PopupRoute::kGameRequest;
    } else {
        decision.route = PopupRoute::kExternal;
        decision.resolvedUrl = Resolve(target, currentHost);
    }
    return decision;
}
