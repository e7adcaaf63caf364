#pragma once

#include "platform/core/WinTypes.h"

// The settings that are whole numbers, in the registry beside the drum
// channel as decimal text with its zero byte: "Zoom", the zoom the user
// asked for last (--zoom or the menu), 1..4, without which the window takes
// the largest zoom that fits; "Volume", the master volume, 0..1000, without
// which it is full.

// Read a setting; FALSE (the value unchanged) when there is none or it is
// out of its range.
BOOL LoadZoom(int& zoom);
BOOL SaveZoom(int zoom);
BOOL LoadVolume(int& volume);
BOOL SaveVolume(int volume);
