#pragma once

#include "platform/core/WinTypes.h"

#include <cstddef>

// An icon resource: the embedded image file (kind "icon") as it is stored.
// Icons from resources are shared and live as long as the program, so they
// are never destroyed.
struct HICON__ {
    int id;
    const unsigned char* data;
    size_t size;
};

// The icon of the given id from the program's resources, or null. The
// instance is accepted for the familiar call form and not used: every
// resource is in the program itself.
HICON LoadIcon(HINSTANCE instance, UINT id);
