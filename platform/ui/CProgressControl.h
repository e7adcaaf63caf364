#pragma once

#include "platform/ui/CDialogControl.h"
#include "platform/ui/ControlMessages.h"

// A progress bar (PROGRESS_CLASS): a range and a position kept inside it,
// reached through the PBM_ messages.
class CProgressControl : public CDialogControl {
public:
    explicit CProgressControl(const CDialogTemplate::Item& item) : CDialogControl(item) { }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Pos() const { return m_pos; }

private:
    // Each answers the position before.
    int SetPos(long long pos);
    LRESULT SetRange(int min, int max);

    int m_min { 0 };
    int m_max { 100 };
    int m_pos { 0 };
};
