#pragma once

#include "skin/CSkinControl.h"

#define SKIN_LOOP_MARKS 5

// The A-B loop on the position slider's scale strip: a mark at each point
// set, and the span between A and B tinted while the loop is on. Without a loop the
// strip shows the skin as it is.
class CSkinLoopMarks : public CSkinControl {
public:
    CSkinLoopMarks();

    // The skin the strip is restored from (not owned).
    CBitmap* m_pNormal { nullptr };
    // The strip; its first and last columns stand for the song's start and
    // end, as the slider's track does.
    RECT m_rect { 0, 0, 0, 0 };

    // Loop points in ticks (-1: not set) over a song of length ticks;
    // returns the dirty flag.
    BOOL SetLoop(LONGLONG start, LONGLONG end, LONGLONG length, BOOL on);
    // TRUE while a point is set on a song with a length.
    BOOL Shown() const;
    // The column of a tick on the strip.
    int ColumnOf(LONGLONG tick) const;

    void Draw(CDC* composite, CDC* work, CDC* skin) override;
    RECT DrawArea() const override { return m_rect; }

    static constexpr COLORREF kMark = RGB(192, 0, 0);
    static constexpr COLORREF kSpan = RGB(255, 200, 64);
    // The span is a band along the strip's top, above the tick marks.
    static constexpr int kSpanRows = 2;

private:
    LONGLONG m_start { -1 };
    LONGLONG m_end { -1 };
    LONGLONG m_length { 0 };
    BOOL m_on { FALSE };
};
