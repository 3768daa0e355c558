// Rules of the boss-key value, the hot-key field's word: the virtual key in
// the low byte, the flags 0x01 Shift, 0x02 Ctrl, 0x04 Alt and 0x08 extended
// key in the high byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace BossKeyValue {

// RegisterHotKey's modifiers: Alt 1, Ctrl 2, Shift 4. The extended-key flag
// has no registration counterpart and is dropped.
uint32_t RegistrationModifiers(uint16_t value);
bool HasModifiers(uint16_t value);
uint8_t VirtualKey(uint16_t value);

// What the hot-key field can show for a saved value: the key with its one
// modifier. None, two or three modifiers leave the field empty.
std::optional<uint16_t> SingleModifierFieldValue(uint16_t value);

// The saved line read as a decimal number the way the C runtime's atoi reads
// it (white space, sign, leading digits; none gives 0; saturating), then cut
// to its low 16 bits.
uint16_t ParseSavedLine(const std::u16string& line);

}  // namespace BossKeyValue
