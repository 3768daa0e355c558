// Writes one delivered piece of a download into its local file.
#pragma once

#include "afx/Afx.h"
#include "afx/File.h"

// Opens `fileName` for reading and writing (created when absent, never
// truncated), writes `count` bytes at `offset` from its start and closes it.
// 0 on success, else the file exception's cause number.
int WriteAt(LPCWSTR fileName, const void* bytes, UINT count, LONGLONG offset);
