#pragma once

#include "platform/ui/CWindowBackend.h"

#include <vector>

// A window backend that only notes which parts of the client surface it was
// told to show anew.
class RecordingBackend : public CWindowBackend {
public:
    std::vector<RECT> changed;
    void Wake() override { }
    void Invalidate(const RECT&, bool) override { }
    void SurfaceChanged(const RECT& area) override { changed.push_back(area); }
    void SetTitle(const CString&) override { }
    void SetCapture(bool) override { }
    void Center() override { }
};
