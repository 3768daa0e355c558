// CCmdTarget and the message maps: a static table per class from message
// (or command id) to member handler, chained to the base class's table.
#pragma once

#include <windows.h>

class CCmdTarget;

using AfxMsgHandler = LRESULT (CCmdTarget::*)(WPARAM, LPARAM);
using AfxCmdHandler = void (CCmdTarget::*)();

struct AfxMessageEntry {
    UINT message;  // 0 ends the table
    UINT code;     // WM_COMMAND: notification code; kAnyCommandCode for menus and buttons
    UINT id;       // WM_COMMAND: control or command id
    AfxMsgHandler onMessage;
    AfxCmdHandler onCommand;
};

struct AfxMessageMap {
    const AfxMessageMap* (*base)();
    const AfxMessageEntry* entries;
};

// Menus, accelerators and button clicks (codes 0 and 1) all count as commands.
constexpr UINT kAnyCommandCode = 0xFFFFFFFFu;

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the handler of this command in this object's maps; false if none.
    virtual BOOL OnCmdMsg(UINT id, UINT code);

    static const AfxMessageMap* GetThisMessageMap();
    virtual const AfxMessageMap* GetMessageMap() const { return GetThisMessageMap(); }

protected:
    const AfxMessageEntry* FindMessageEntry(UINT message, UINT code, UINT id) const;
};

#define DECLARE_MESSAGE_MAP()                        \
public:                                              \
    static const AfxMessageMap* GetThisMessageMap(); \
    const AfxMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

#define BEGIN_MESSAGE_MAP(ThisClassName, BaseClassName)       \
    const AfxMessageMap* ThisClassName::GetThisMessageMap() { \
        using ThisClass = ThisClassName;                      \
        using TheBaseClass = BaseClassName;                   \
        static const AfxMessageEntry entries[] = {
#define END_MESSAGE_MAP()                                                         \
    { 0, 0, 0, nullptr, nullptr }                                                 \
    }                                                                             \
    ;                                                                             \
    static const AfxMessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                                  \
    }

// A message handler: LRESULT Handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, handler) \
    {message, 0, 0, static_cast<AfxMsgHandler>(&ThisClass::handler), nullptr},
// A command handler: void Handler().
#define ON_COMMAND(id, handler) \
    {WM_COMMAND, kAnyCommandCode, id, nullptr, static_cast<AfxCmdHandler>(&ThisClass::handler)},
// A control notification (EN_CHANGE and the like): void Handler().
#define ON_CONTROL(code, id, handler) \
    {WM_COMMAND, code, id, nullptr, static_cast<AfxCmdHandler>(&ThisClass::handler)},
#define ON_EN_CHANGE(id, handler) ON_CONTROL(EN_CHANGE, id, handler)
