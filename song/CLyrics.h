#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <string>
#include <vector>

class CTrack;

// The words of a song, in lines of syllables with the tick each is sung
// at, and the title and information lines of a karaoke file.
//
// Where the words come from:
// - Lyric events (FF 05) when the song has any: those of the track that
//   holds the most of them (the first of equals), as a file that repeats its
//   words in a second track (a duet, a copy) is not sung twice.
// - Otherwise Text events (FF 01) of one track, as karaoke files (.kar) keep
//   them: the track with the most text events that look like syllables (up
//   to 32 bytes, not an "@" line), if it has at least four; a few texts are
//   notes about the file, not words.
//
// Karaoke conventions, in either kind of event: a text that starts with "@"
// and a letter is a header line, never sung: "@T" lines are the title (song,
// author, ...), "@I", "@K", "@V", "@L" and any other letter information;
// they are taken from the text events of every track. A syllable starting
// with "/" starts a new line, with "\" a new paragraph; a carriage return
// or a line feed inside a syllable breaks the line there, and two breaks in
// a row (CR LF counts as one) start a paragraph. Spaces stay as the file
// has them, but for those at the ends of a line. Other control characters
// are dropped.
class CLyrics {
public:
    struct Syllable {
        LONGLONG tick;
        // Where the syllable ends in its line's text.
        int end;
    };
    struct Line {
        // When the line's first syllable is sung.
        LONGLONG tick { 0 };
        // The line begins a paragraph (never the first line).
        BOOL paragraph { FALSE };
        CString text;
        std::vector<Syllable> syllables;
    };
    struct Info {
        // The header's letter, upper case: 'I', 'K', 'V', 'L' ...
        wchar_t tag;
        CString text;
    };

    // Takes the words from the tracks (a ring; null for none), decoded in
    // encoding, or in the one judged over all of the words at once when it
    // is empty (CTextEncoding).
    void Build(const CTrack* tracks, const std::string& encoding);
    void Clear();
    BOOL IsEmpty() const { return m_lines.empty() && m_title.empty() && m_info.empty(); }

    // The line being sung at tick: the last that has started; the first
    // before any has. -1 without lines.
    int LineAt(LONGLONG tick) const;
    // How many characters of a line are sung at tick: up to the end of its
    // last syllable that has started.
    int SungLength(int line, LONGLONG tick) const;

    std::vector<Line> m_lines;
    std::vector<CString> m_title;
    std::vector<Info> m_info;
    // Where the words came from: the track's place in the ring (-1 for
    // none), and whether they are lyric events rather than text events.
    int m_track { -1 };
    BOOL m_lyricEvents { FALSE };
    // The encoding the words were decoded in, and whether it was asked for
    // rather than judged.
    std::string m_encoding;
    BOOL m_forced { FALSE };

private:
    // Adds one event's text, sung at tick, to the lines.
    void AddText(const std::wstring& text, LONGLONG tick);
    // Adds a character to the line being built, opening one when a break
    // is pending.
    void Put(wchar_t c);
    // The event's characters on the open line make a syllable.
    void EndSyllable();
    // Ends the line being built: spaces at its end go.
    void EndLine();

    // 0 nothing, 1 a new line, 2 a new paragraph before the next character.
    int m_pendingBreak { 0 };
    bool m_afterCarriageReturn { false };
    bool m_lineOpen { false };
    // The event being added: its tick, and whether it put characters on
    // the open line.
    LONGLONG m_tick { 0 };
    bool m_syllableOpen { false };
};
