#include "afx/CmdTarget.h"

const AfxMessageMap* CCmdTarget::GetThisMessageMap() {
    static const AfxMessageEntry entries[] = {{0, 0, 0, nullptr, nullptr}};
    static const AfxMessageMap map = {nullptr, entries};
    return &map;
}

static bool CodeMatches(UINT wanted, UINT code) {
    return wanted == code || (wanted == kAnyCommandCode && code <= 1);
}

const AfxMessageEntry* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
    for (const AfxMessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const AfxMessageEntry* entry = map->entries; entry->message; ++entry) {
            if (entry->message != message) continue;
            if (message != WM_COMMAND) return entry;
            if (entry->id == id && CodeMatches(entry->code, code)) return entry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const AfxMessageEntry* entry = FindMessageEntry(WM_COMMAND, code, id);
    if (!entry || !entry->onCommand) return FALSE;
    (this->*entry->onCommand)();
    return TRUE;
}
