// The pipe protocol between the browser process and a render process.
//
// A frame is a 32-bit little-endian payload length, then the payload: one
// byte of message type and the message's fields. Fields are u8, bool (one
// byte 0/1), i32, u32, i64, f64 (little-endian IEEE), and strings (u32
// count of UTF-16 code units, then the units; any content, NUL and unpaired
// surrogates included). A value list is a u32 count, then per value a tag
// byte and its data. The reader rejects a frame longer than kMaxFrameBytes,
// an unknown type, a field running past the frame, and trailing bytes.
//
//   render -> browser
//     kHello          u32 pid, str command line
//     kToBrowser      str name, values
//     kBodyAttribute  i32 frame index, str name, bool has body, str value
//     kScriptResult   i32 frame index, str function name, str outcome
//     kGlobalFunctions i32 frame index, u32 count, str name... (what the
//                     client made callable in the frame's new context)
//   browser -> render
//     kContextCreated i64 frame id, i32 frame index, str name, bool main, str url
//     kToRender       str name, values
//     kCallFunction   i32 frame index, str name, values (undefined allowed)
//     kFocusElement   i32 frame index, bool element, bool has title, str title
//     kSetHasBody     i32 frame index, bool has body
//     kQueryBody      i32 frame index, str attribute name
//     kSendGarbage    i32 kind
//     kQuit
#pragma once

#include <cstdint>

namespace cefimpl {

constexpr uint32_t kMaxFrameBytes = 64u << 20;

enum class WireType : uint8_t {
    kHello = 1,
    kToBrowser = 2,
    kBodyAttribute = 3,
    kScriptResult = 4,
    kGlobalFunctions = 5,

    kContextCreated = 20,
    kToRender = 21,
    kCallFunction = 22,
    kFocusElement = 23,
    kSetHasBody = 24,
    kQueryBody = 25,
    kSendGarbage = 26,
    kQuit = 27,
};

enum class WireValueTag : uint8_t {
    kUndefined = 0,
    kNull = 1,
    kBool = 2,
    kInt = 3,
    kDouble = 4,
    kString = 5,
};

}  // namespace cefimpl
