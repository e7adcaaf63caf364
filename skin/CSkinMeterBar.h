#pragma once

#include "platform/core/CObject.h"
#include "platform/core/WinTypes.h"

#include <vector>

// The cells of one meter bar: which are lit, and which changed since they
// were last painted.
class CSkinMeterBar : public CObject {
public:
    std::vector<BOOL> m_changed;
    std::vector<BOOL> m_lit;

    // Every cell unlit and marked changed.
    void Resize(int rows);
    void SetCell(int row, BOOL lit);
};
