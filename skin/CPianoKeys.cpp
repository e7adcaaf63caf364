#include "skin/CPianoKeys.h"

#include "platform/gdi/CDC.h"

#include <algorithm>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// The joins between white keys, and the field behind the name strip.
constexpr COLORREF kJoin = RGB(64, 64, 64);
constexpr COLORREF kField = RGB(0, 0, 0);
// An unlit C key's name stands back.
constexpr COLORREF kQuietName = RGB(112, 112, 112);

bool IsDark(COLORREF colour)
{
    return GetRValue(colour) * 3 + GetGValue(colour) * 6 + GetBValue(colour) < 128 * 10;
}

}

CPianoKeys::CPianoKeys()
{
    m_colour.fill(kUnlit);
}

BOOL CPianoKeys::IsBlack(int key)
{
    switch (((key % 12) + 12) % 12) {
    case 1: case 3: case 6: case 8: case 10:
        return TRUE;
    default:
        return FALSE;
    }
}

CString CPianoKeys::NoteName(int key)
{
    static const wchar_t* const kNames[12] = { L"C", L"C#", L"D", L"D#", L"E", L"F", L"F#", L"G", L"G#", L"A",
        L"A#", L"B" };
    key = std::clamp(key, 0, 127);
    return CString(kNames[key % 12]) + CString(std::to_wstring(key / 12 - 1));
}

void CPianoKeys::SetLayout(int first, int last, RECT rect)
{
    first = std::clamp(first, 0, 127);
    last = std::clamp(last, first, 127);
    // A black key at either end is drawn over a white one; 0 and 127 are
    // white.
    if (IsBlack(first))
        --first;
    if (IsBlack(last))
        ++last;
    m_first = first;
    m_last = last;
    m_rect = rect;
    m_whites = 0;
    for (int key = first; key <= last; ++key)
        m_whites += IsBlack(key) ? 0 : 1;
    const int width = std::max<int>(0, rect.right - rect.left);
    const int height = std::max<int>(0, rect.bottom - rect.top);
    const int whiteWidth = width / std::max(1, m_whites);
    m_font.DeleteObject();
    m_names = whiteWidth >= kNamedKeyWidth && height >= 48 ? TRUE : FALSE;
    int strip = 0;
    if (m_names) {
        const int size = std::clamp(whiteWidth * 2 / 3, 8, 14);
        m_font.CreateFont(-size, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_SWISS, L"Arial");
        strip = size + 4;
    }
    m_keysTop = rect.top + strip;
    m_blackBottom = m_keysTop + (rect.bottom - m_keysTop) * 62 / 100;
    m_colour.fill(kUnlit);
    m_changed.fill(true);
}

int CPianoKeys::WhiteIndex(int key) const
{
    int index = 0;
    for (int k = m_first; k < key; ++k)
        index += IsBlack(k) ? 0 : 1;
    return index;
}

RECT CPianoKeys::KeyRect(int key) const
{
    if (key < m_first || key > m_last || m_whites == 0)
        return RECT { 0, 0, 0, 0 };
    const LONG width = m_rect.right - m_rect.left;
    auto edge = [&](int whiteIndex) { return m_rect.left + width * whiteIndex / m_whites; };
    if (!IsBlack(key)) {
        const int i = WhiteIndex(key);
        return RECT { edge(i), m_keysTop, edge(i + 1), m_rect.bottom };
    }
    // Over the join of its two white neighbours, three fifths as wide.
    const LONG join = edge(WhiteIndex(key + 1));
    const LONG blackWidth = std::max<LONG>(1, width / m_whites * 3 / 5);
    const LONG left = join - blackWidth / 2;
    return RECT { left, m_keysTop, left + blackWidth, m_blackBottom };
}

RECT CPianoKeys::NameRect(int key) const
{
    const RECT keyRect = KeyRect(key);
    if (!m_names || keyRect.right <= keyRect.left)
        return RECT { 0, 0, 0, 0 };
    // As wide as a white key, centred over the black one: two names never
    // share a pixel.
    const LONG slot = (m_rect.right - m_rect.left) / m_whites;
    const LONG middle = (keyRect.left + keyRect.right) / 2;
    return RECT { middle - slot / 2, m_rect.top, middle - slot / 2 + slot, m_keysTop };
}

BOOL CPianoKeys::SetKey(int key, COLORREF colour)
{
    if (key < m_first || key > m_last)
        return FALSE;
    COLORREF& shown = m_colour[static_cast<size_t>(key)];
    if (shown == colour)
        return FALSE;
    shown = colour;
    m_changed[static_cast<size_t>(key)] = true;
    return TRUE;
}

void CPianoKeys::Paint(CDC* dc, BOOL all)
{
    if (!dc || m_last < m_first)
        return;
    if (all) {
        const RECT strip { m_rect.left, m_rect.top, m_rect.right, m_keysTop };
        dc->FillSolidRect(&strip, kField);
        std::fill(m_changed.begin() + m_first, m_changed.begin() + m_last + 1, true);
    }
    // A white key painted again covers part of its black neighbours, which
    // are painted again after it.
    std::array<bool, 128> black {};
    for (int key = m_first; key <= m_last; ++key) {
        if (IsBlack(key) || !m_changed[static_cast<size_t>(key)])
            continue;
        PaintKey(dc, key);
        if (key > m_first)
            black[static_cast<size_t>(key - 1)] = true;
        if (key < m_last)
            black[static_cast<size_t>(key + 1)] = true;
    }
    for (int key = m_first; key <= m_last; ++key) {
        if (IsBlack(key) && (m_changed[static_cast<size_t>(key)] || black[static_cast<size_t>(key)]))
            PaintKey(dc, key);
        m_changed[static_cast<size_t>(key)] = false;
    }
}

void CPianoKeys::PaintKey(CDC* dc, int key)
{
    const RECT area = KeyRect(key);
    const COLORREF lit = m_colour[static_cast<size_t>(key)];
    if (IsBlack(key)) {
        dc->FillSolidRect(&area, kBlack);
        // A lit black key keeps a black edge against its white neighbours.
        const RECT inner { area.left + 1, area.top, area.right - 1, area.bottom - 1 };
        if (lit != kUnlit)
            dc->FillSolidRect(inner.right > inner.left ? &inner : &area, lit);
        if (m_names) {
            const RECT name = NameRect(key);
            dc->FillSolidRect(&name, kField);
            if (lit != kUnlit)
                PaintName(dc, key, name, kField);
        }
        return;
    }
    dc->FillSolidRect(&area, kJoin);
    const RECT inner { area.left + 1, area.top, area.right, area.bottom - 1 };
    const COLORREF fill = lit != kUnlit ? lit : kWhite;
    dc->FillSolidRect(&inner, fill);
    if (m_names && (lit != kUnlit || key % 12 == 0))
        PaintName(dc, key, RECT { inner.left, m_blackBottom, inner.right, inner.bottom - 1 }, fill);
}

void CPianoKeys::PaintName(CDC* dc, int key, const RECT& area, COLORREF fill)
{
    RECT place = area;
    CFont* before = dc->SelectObject(&m_font);
    dc->SetBkMode(TRANSPARENT);
    COLORREF text = IsDark(fill) ? kWhite : kBlack;
    if (fill == kField)
        text = m_colour[static_cast<size_t>(key)];
    else if (m_colour[static_cast<size_t>(key)] == kUnlit)
        text = kQuietName;
    dc->SetTextColor(text);
    dc->DrawText(NoteName(key), &place, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    dc->SelectObject(before);
}
