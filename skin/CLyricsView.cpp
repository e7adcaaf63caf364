#include "skin/CLyricsView.h"

#include "platform/gdi/CDC.h"
#include "song/CLyrics.h"

#include <algorithm>

namespace {

constexpr int kMargin = 8;

CString Joined(const std::vector<CString>& parts, const wchar_t* between)
{
    CString all;
    for (const CString& part : parts) {
        if (part.IsEmpty())
            continue;
        if (!all.IsEmpty())
            all += between;
        all += part;
    }
    return all;
}

CString TitleText(const CLyrics& lyrics)
{
    return Joined(lyrics.m_title, L" \x2013 ");
}

CString InfoText(const CLyrics& lyrics)
{
    std::vector<CString> parts;
    for (const CLyrics::Info& info : lyrics.m_info)
        parts.push_back(info.text);
    return Joined(parts, L"  \x00B7  ");
}

CFont* MakeFont(CFont& font, int size, int weight)
{
    font.DeleteObject();
    font.CreateFont(-size, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_SWISS, L"Arial");
    return &font;
}

}

void CLyricsView::SetLyrics(const CLyrics* lyrics)
{
    m_lyrics = lyrics;
    m_line = -1;
    m_sung = 0;
    SetLayout(m_rect, m_fittedSize > 0 ? m_requestedSize : kMinFontSize);
}

void CLyricsView::SetLayout(RECT rect, int fontSize)
{
    m_rect = rect;
    m_requestedSize = std::clamp(fontSize, kMinFontSize, kMaxFontSize);
    const int headerSize = std::clamp(m_requestedSize / 2, 11, 24);
    MakeFont(m_titleFont, headerSize, FW_NORMAL);
    int headerLines = 0;
    if (m_lyrics) {
        headerLines += TitleText(*m_lyrics).IsEmpty() ? 0 : 1;
        headerLines += InfoText(*m_lyrics).IsEmpty() ? 0 : 1;
    }
    CDC measure;
    measure.CreateCompatibleDC(nullptr);
    CFont* before = measure.SelectObject(&m_titleFont);
    m_titleHeight = measure.GetTextExtent(L"Ag").cy;
    measure.SelectObject(before);
    m_headerHeight = headerLines > 0 ? headerLines * m_titleHeight + kMargin : 0;

    // The widest line decides: a size that lets it fit, never larger than
    // the one asked for.
    const LONG room = std::max<LONG>(1, rect.right - rect.left - 2 * kMargin);
    int size = m_requestedSize;
    LONG widest = UseSize(size);
    if (widest > room)
        widest = UseSize(size = std::max<int>(kMinFontSize, static_cast<int>(size * room / widest)));
    while (widest > room && size > kMinFontSize)
        widest = UseSize(--size);
    m_dirty[0] = m_dirty[1] = true;
}

LONG CLyricsView::UseSize(int size)
{
    m_fittedSize = size;
    MakeFont(m_lineFont, size, FW_BOLD);
    CDC measure;
    measure.CreateCompatibleDC(nullptr);
    CFont* before = measure.SelectObject(&m_lineFont);
    m_lineHeight = measure.GetTextExtent(L"Ag").cy;
    LONG widest = 0;
    if (m_lyrics) {
        for (const CLyrics::Line& line : m_lyrics->m_lines)
            widest = std::max(widest, measure.GetTextExtent(line.text).cx);
    }
    measure.SelectObject(before);
    return widest;
}

RECT CLyricsView::LineBand(int row) const
{
    const LONG top = m_rect.top + m_headerHeight;
    const LONG gap = m_lineHeight / 4;
    const LONG both = 2 * m_lineHeight + gap;
    const LONG first = top + std::max<LONG>(0, (m_rect.bottom - top - both) / 2);
    const LONG y = first + row * (m_lineHeight + gap);
    return RECT { m_rect.left, y, m_rect.right, y + m_lineHeight };
}

BOOL CLyricsView::SetPosition(LONGLONG tick)
{
    const int line = m_lyrics ? m_lyrics->LineAt(tick) : -1;
    const int sung = m_lyrics ? m_lyrics->SungLength(line, tick) : 0;
    if (line != m_line)
        m_dirty[0] = m_dirty[1] = true;
    else if (sung != m_sung)
        m_dirty[0] = true;
    m_line = line;
    m_sung = sung;
    return m_dirty[0] || m_dirty[1] ? TRUE : FALSE;
}

void CLyricsView::Paint(CDC* dc, BOOL all)
{
    if (!dc)
        return;
    if (all) {
        dc->FillSolidRect(&m_rect, kField);
        PaintHeader(dc);
        m_dirty[0] = m_dirty[1] = true;
    }
    dc->SetBkMode(TRANSPARENT);
    for (int row = 0; row < 2; ++row) {
        if (m_dirty[row])
            PaintLine(dc, row);
        m_dirty[row] = false;
    }
}

void CLyricsView::PaintHeader(CDC* dc)
{
    if (!m_lyrics || m_headerHeight == 0)
        return;
    CFont* before = dc->SelectObject(&m_titleFont);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(kHeader);
    RECT row { m_rect.left + kMargin, m_rect.top + kMargin / 2, m_rect.right - kMargin, m_rect.top + kMargin / 2 };
    for (const CString& text : { TitleText(*m_lyrics), InfoText(*m_lyrics) }) {
        if (text.IsEmpty())
            continue;
        row.bottom = row.top + m_titleHeight;
        dc->DrawText(text, &row, DT_CENTER | DT_SINGLELINE);
        row.top = row.bottom;
    }
    dc->SelectObject(before);
}

void CLyricsView::PaintLine(CDC* dc, int row)
{
    const RECT band = LineBand(row);
    dc->FillSolidRect(&band, kField);
    CString text;
    int sung = 0;
    COLORREF colour = row == 0 ? kToSing : kNextLine;
    if (m_lyrics && m_lyrics->m_lines.empty() && row == 0) {
        text = L"No words in this song";
        colour = kHeader;
    } else if (m_lyrics && m_line >= 0 && static_cast<size_t>(m_line + row) < m_lyrics->m_lines.size()) {
        text = m_lyrics->m_lines[static_cast<size_t>(m_line + row)].text;
        sung = row == 0 ? std::clamp(m_sung, 0, text.GetLength()) : 0;
    }
    if (text.IsEmpty())
        return;
    CFont* before = dc->SelectObject(&m_lineFont);
    const LONG width = dc->GetTextExtent(text).cx;
    const LONG left = band.left + (band.right - band.left - width) / 2;
    const LONG split = left + (sung > 0 ? dc->GetTextExtent(text.Left(sung)).cx : 0);
    // The whole line is placed at its left edge both times; each colour is
    // clipped to its part, so the line's letters stand exactly where they
    // would in one colour.
    RECT sungPart { left, band.top, split, band.bottom };
    RECT rest { split, band.top, left + width, band.bottom };
    dc->SetTextColor(kSung);
    if (split > left)
        dc->DrawText(text, &sungPart, DT_LEFT | DT_SINGLELINE);
    dc->SetTextColor(colour);
    if (left + width > split)
        dc->DrawText(text, &rest, DT_RIGHT | DT_SINGLELINE);
    dc->SelectObject(before);
}
