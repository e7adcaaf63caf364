#pragma once

#include "platform/core/CString.h"
#include "platform/gdi/CFont.h"

#include <array>

class CDC;

// A piano keyboard drawn into a rectangle: white keys side by side, black
// keys over their joins, each key lit in a colour of its own or not. The
// names of the C keys and of the lit keys stand on the white keys near
// their bottom and, for black keys, in a strip above the keyboard; only
// where keys are wide enough for them. Painting the changed keys only
// touches those keys (and the black keys over a repainted white one).
class CPianoKeys {
public:
    static constexpr COLORREF kUnlit = 0xFFFFFFFFu;
    // White keys narrower than this carry no names.
    static constexpr int kNamedKeyWidth = 10;

    CPianoKeys();

    // The keys first to last (MIDI notes, widened to begin and end on white
    // keys) laid over rect; every key unlit and to be painted.
    void SetLayout(int first, int last, RECT rect);
    int First() const { return m_first; }
    int Last() const { return m_last; }
    // The area a key covers (a white key's includes the parts under its
    // black neighbours); empty outside the keyboard.
    RECT KeyRect(int key) const;
    // The strip above a black key where its name goes (empty without names).
    RECT NameRect(int key) const;

    // Lights a key in a colour, or puts it out (kUnlit); TRUE when that
    // changed what it shows.
    BOOL SetKey(int key, COLORREF colour);
    COLORREF KeyColour(int key) const { return m_colour[static_cast<size_t>(key & 0x7F)]; }

    // Paints every key and the name strip, or only what changed since the
    // last paint.
    void Paint(CDC* dc, BOOL all);

    static BOOL IsBlack(int key);
    // "C4" for 60 (middle C), "F#2", "C-1" for 0.
    static CString NoteName(int key);

private:
    int WhiteIndex(int key) const;
    void PaintKey(CDC* dc, int key);
    void PaintName(CDC* dc, int key, const RECT& area, COLORREF fill);

    int m_first { 0 };
    int m_last { -1 };
    RECT m_rect { 0, 0, 0, 0 };
    // White keys in the layout, the top of the keys (below the name strip)
    // and the bottom of the black keys.
    int m_whites { 0 };
    int m_keysTop { 0 };
    int m_blackBottom { 0 };
    BOOL m_names { FALSE };
    CFont m_font;
    std::array<COLORREF, 128> m_colour {};
    std::array<bool, 128> m_changed {};
};
