#pragma once

#include "platform/core/WinTypes.h"
#include "platform/ui/CPixelBuffer.h"

#include <vector>

// The client pixels as the screen shows them. A control redrawn through a
// client DC reports its whole area, but a readout whose last digit changed
// differs from the screen in a few columns only: this finds those parts, so
// that only they are scaled and sent to the display again.
class CShownPixels {
public:
    // Appends to parts the rectangles inside area where surface differs from
    // what the screen shows: runs of changed pixels in a row, with runs a few
    // pixels apart taken as one, joined with the runs they touch in the rows
    // above (or one row further up). Before anything was shown, and when the
    // surface's size differs from what was shown, the whole area counts.
    void Changed(const CPixelBuffer& surface, const RECT& area, std::vector<RECT>& parts) const;
    // The screen now shows surface inside area.
    void Shown(const CPixelBuffer& surface, const RECT& area);

private:
    CPixelBuffer m_shown;
};
