#pragma once

#include "platform/core/WinTypes.h"

// Raster operations.
#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
#define SRCERASE 0x00440328u
#define NOTSRCCOPY 0x00330008u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

// DrawText formats.
#define DT_TOP 0x00000000u
#define DT_LEFT 0x00000000u
#define DT_CENTER 0x00000001u
#define DT_RIGHT 0x00000002u
#define DT_VCENTER 0x00000004u
#define DT_BOTTOM 0x00000008u
#define DT_WORDBREAK 0x00000010u
#define DT_SINGLELINE 0x00000020u
#define DT_NOCLIP 0x00000100u

// Font weights, pitch and family.
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_BOLD 700
#define FF_SWISS 0x20
#define DEFAULT_CHARSET 1

#define CLR_INVALID 0xFFFFFFFFu

#define RT_BITMAP "bitmap"
