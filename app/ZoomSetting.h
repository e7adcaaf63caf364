#pragma once

#include "platform/core/WinTypes.h"

// The zoom the user asked for last (--zoom), remembered in the registry
// beside the drum channel as the value "Zoom": decimal text 1..4 with its
// zero byte. Without it the window takes the largest zoom that fits.

// Reads the remembered zoom; FALSE (zoom unchanged) when there is none or
// it is not 1..4.
BOOL LoadZoom(int& zoom);
BOOL SaveZoom(int zoom);
