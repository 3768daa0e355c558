// GDI+ for the framework's users. The headers need the COM stream types and
// must come after windows.h.
#pragma once

#include "afx/Afx.h"

#include <objidl.h>
#include <gdiplus.h>
