#pragma once

#include "platform/core/WinTypes.h"

// The desktop's colours, for windows that draw themselves to look like the
// controls beside them. The window backend sets them from its style; headless
// they are the system's classic light scheme.
#define COLOR_WINDOW 5
#define COLOR_WINDOWTEXT 8
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18

// Black for an element it does not know.
COLORREF GetSysColor(int element);
BOOL SetSysColors(int count, const int* elements, const COLORREF* colors);
