#pragma once

#include "platform/ui/CDialogControl.h"
#include "platform/ui/ControlMessages.h"

// A trackbar (TRACKBAR_CLASS): a range, a position kept inside it and a
// page size (a fifth of the range unless set after it), reached through the
// TBM_ messages. The user's moves (from the
// backend, or WM_KEYDOWN: arrows a line, Page Up and Down a page, Home and
// End the ends) set the position and send WM_HSCROLL, or WM_VSCROLL with
// TBS_VERT, to the dialog.
class CTrackBarControl : public CDialogControl {
public:
    explicit CTrackBarControl(const CDialogTemplate::Item& item) : CDialogControl(item) { }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Pos() const { return m_pos; }
    int PageSize() const { return m_page; }
    bool IsVertical() const { return Item().HasStyle("TBS_VERT"); }

    // The user moved the thumb to pos (TB_ code): the position follows and
    // the dialog is told. TB_THUMBTRACK is a move still going on; every
    // other code ends the move (TB_ENDTRACK follows it).
    void ScrollByUser(int code, int pos);

private:
    void SetRange(int min, int max);
    void SetPos(int pos);
    void Scroll(int code, int pos);
    bool KeyByUser(UINT key);

    int m_min { 0 };
    int m_max { 100 };
    int m_pos { 0 };
    int m_page { 20 };
};
