// The integer rule shared by the layout and the update manifest: values read
// the way the C library's atoi reads them.
#pragma once

#include <cstdint>

// Optional leading white space, one optional sign, then decimal digits up to
// the first other character; no digits (or a null pointer) gives 0. Out-of-range
// values saturate at INT32_MIN / INT32_MAX, as the Windows C runtime's atoi
// does, instead of being undefined.
int32_t ParseAtoi(const char* text);
