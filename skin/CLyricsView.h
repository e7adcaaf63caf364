#pragma once

#include "platform/gdi/CFont.h"

class CDC;
class CLyrics;

// The words of a song drawn for singing along: the title and information
// lines at the top, then two lines centred in the rest, the line being sung
// with its sung part in a second colour and the next line below it. The
// font is the size asked for, or smaller where the song's widest line would
// not fit the width. Changes of the place in the song repaint only the lines
// whose pixels change.
class CLyricsView {
public:
    static constexpr COLORREF kField = RGB(0, 0, 0);
    static constexpr COLORREF kSung = RGB(255, 200, 0);
    static constexpr COLORREF kToSing = RGB(255, 255, 255);
    static constexpr COLORREF kNextLine = RGB(176, 176, 176);
    static constexpr COLORREF kHeader = RGB(150, 150, 150);
    static constexpr int kMinFontSize = 8;
    static constexpr int kMaxFontSize = 400;

    // The words shown (null for none); kept by the caller while shown.
    void SetLyrics(const CLyrics* lyrics);
    // Where the view draws and the font size asked for (pixels); lays the
    // lines out for the words shown.
    void SetLayout(RECT rect, int fontSize);
    // The place in the song; TRUE when what shows must be painted again.
    BOOL SetPosition(LONGLONG tick);
    // Paints everything, or only the lines the place changed.
    void Paint(CDC* dc, BOOL all);

    // The font size the lines are drawn in.
    int FittedSize() const { return m_fittedSize; }
    // The line drawn on top (-1 for none) and how much of it shows as sung.
    int ShownLine() const { return m_line; }
    int ShownSung() const { return m_sung; }
    // The two bands the lines are drawn in.
    RECT LineBand(int row) const;

private:
    // Lays the font out at size; the widest line's width.
    LONG UseSize(int size);
    void PaintLine(CDC* dc, int row);
    void PaintHeader(CDC* dc);

    const CLyrics* m_lyrics { nullptr };
    RECT m_rect { 0, 0, 0, 0 };
    int m_requestedSize { kMinFontSize };
    int m_fittedSize { 0 };
    CFont m_lineFont;
    CFont m_titleFont;
    int m_lineHeight { 0 };
    int m_headerHeight { 0 };
    int m_titleHeight { 0 };
    int m_line { -1 };
    int m_sung { 0 };
    // The bands that wait to be painted.
    bool m_dirty[2] { true, true };
};
