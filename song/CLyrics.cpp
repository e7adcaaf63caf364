#include "song/CLyrics.h"

#include "platform/text/CTextEncoding.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr BYTE kTextEvent = 0x01;
constexpr BYTE kLyricEvent = 0x05;
// Longer texts are taken for notes about the file, not syllables.
constexpr size_t kSyllableBytes = 32;
// Fewer syllable-like texts in a track are not taken for words.
constexpr int kFewestSyllables = 4;

struct Text {
    LONGLONG tick;
    std::string bytes;
};

bool IsHeader(const std::string& text)
{
    return text.size() >= 2 && text[0] == '@' && std::isalpha(static_cast<unsigned char>(text[1]));
}

bool LooksLikeSyllable(const std::string& text)
{
    size_t start = !text.empty() && (text[0] == '/' || text[0] == '\\') ? 1 : 0;
    return text.size() > start && text.size() - start <= kSyllableBytes && !IsHeader(text);
}

// Calls fn(event, text) on the meta events of one type in the track.
template <typename Fn>
void ForEachText(const CTrack& track, BYTE type, Fn&& fn)
{
    size_t hint = 0;
    CRing::ForEach(track.m_firstEvent, [&](const CMidiEvent* event) {
        if (event->m_status == 0xFF && event->m_metaType == type)
            fn(event, track.TextBytes(event, hint));
    });
}

}

void CLyrics::Clear()
{
    *this = CLyrics();
}

void CLyrics::Build(const CTrack* tracks, const std::string& encoding)
{
    Clear();
    // The track the words come from, and their kind.
    int index = 0, lyricTrack = -1, lyricCount = 0, textTrack = -1, textCount = kFewestSyllables - 1;
    CRing::ForEach(tracks, [&](const CTrack* track) {
        int lyrics = 0, syllables = 0;
        ForEachText(*track, kLyricEvent, [&](const CMidiEvent*, const std::string&) { ++lyrics; });
        ForEachText(*track, kTextEvent, [&](const CMidiEvent*, const std::string& text) {
            syllables += LooksLikeSyllable(text) ? 1 : 0;
        });
        if (lyrics > lyricCount)
            lyricTrack = index, lyricCount = lyrics;
        if (syllables > textCount)
            textTrack = index, textCount = syllables;
        ++index;
    });
    m_lyricEvents = lyricTrack >= 0 ? TRUE : FALSE;
    m_track = m_lyricEvents ? lyricTrack : textTrack;

    // The headers of every track, then the words, judged together.
    std::vector<Text> headers, words;
    index = 0;
    CRing::ForEach(tracks, [&](const CTrack* track) {
        ForEachText(*track, kTextEvent, [&](const CMidiEvent* event, const std::string& text) {
            if (IsHeader(text))
                headers.push_back(Text { event->m_tick, text });
        });
        if (index++ == m_track) {
            ForEachText(*track, m_lyricEvents ? kLyricEvent : kTextEvent,
                [&](const CMidiEvent* event, const std::string& text) {
                    if (!IsHeader(text))
                        words.push_back(Text { event->m_tick, text });
                    else if (m_lyricEvents)
                        headers.push_back(Text { event->m_tick, text });
                });
        }
    });
    // The words run on as they are sung (their spaces are their own): a
    // detector judges running text far better than syllables apart.
    std::string all;
    for (const Text& header : headers)
        all += header.bytes + "\n";
    for (const Text& word : words)
        all += word.bytes;
    m_forced = encoding.empty() ? FALSE : TRUE;
    m_encoding = m_forced ? encoding : CTextEncoding::Detect(all);
    CTextEncoding decoder(m_encoding);

    for (const Text& header : headers) {
        std::wstring text = decoder.Decode(header.bytes.substr(2));
        std::erase_if(text, [](wchar_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); });
        CString line = CString(text).Trim();
        const auto tag = static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(header.bytes[1])));
        if (tag == L'T')
            m_title.push_back(line);
        else
            m_info.push_back(Info { tag, line });
    }
    for (const Text& word : words)
        AddText(decoder.Decode(word.bytes), word.tick);
    if (m_lineOpen)
        EndLine();
}

void CLyrics::AddText(const std::wstring& text, LONGLONG tick)
{
    m_tick = tick;
    size_t from = 0;
    if (!text.empty() && (text[0] == L'/' || text[0] == L'\\')) {
        m_pendingBreak = std::max(m_pendingBreak, text[0] == L'\\' ? 2 : 1);
        from = 1;
    }
    for (size_t i = from; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            // CR LF is one break; any other break after a break is a
            // paragraph's.
            if (!(c == L'\n' && m_afterCarriageReturn))
                m_pendingBreak = m_pendingBreak > 0 || !m_lineOpen ? 2 : 1;
            m_afterCarriageReturn = c == L'\r';
            continue;
        }
        m_afterCarriageReturn = false;
        if (c == L'\t')
            Put(L' ');
        else if (c >= 0x20 && !(c >= 0x7F && c < 0xA0))
            Put(c);
    }
    EndSyllable();
}

void CLyrics::EndSyllable()
{
    // A syllable that only broke the line adds none.
    if (m_syllableOpen)
        m_lines.back().syllables.push_back(Syllable { m_tick, m_lines.back().text.GetLength() });
    m_syllableOpen = false;
}

void CLyrics::Put(wchar_t c)
{
    if (m_pendingBreak > 0 || !m_lineOpen) {
        // Spaces before a line's first letter go with the break.
        if (c == L' ')
            return;
        // What the syllable put before a break it holds stays on its line.
        EndSyllable();
        if (m_lineOpen)
            EndLine();
        Line line;
        line.tick = m_tick;
        line.paragraph = m_pendingBreak == 2 && !m_lines.empty() ? TRUE : FALSE;
        m_lines.push_back(std::move(line));
        m_lineOpen = true;
        m_pendingBreak = 0;
    }
    m_lines.back().text += c;
    m_syllableOpen = true;
}

void CLyrics::EndLine()
{
    Line& line = m_lines.back();
    line.text.TrimRight();
    for (Syllable& syllable : line.syllables)
        syllable.end = std::min(syllable.end, line.text.GetLength());
    m_lineOpen = false;
}

int CLyrics::LineAt(LONGLONG tick) const
{
    if (m_lines.empty())
        return -1;
    auto after = std::upper_bound(m_lines.begin(), m_lines.end(), tick,
        [](LONGLONG t, const Line& line) { return t < line.tick; });
    return after == m_lines.begin() ? 0 : static_cast<int>(after - m_lines.begin()) - 1;
}

int CLyrics::SungLength(int line, LONGLONG tick) const
{
    if (line < 0 || static_cast<size_t>(line) >= m_lines.size())
        return 0;
    const std::vector<Syllable>& syllables = m_lines[static_cast<size_t>(line)].syllables;
    auto after = std::upper_bound(syllables.begin(), syllables.end(), tick,
        [](LONGLONG t, const Syllable& syllable) { return t < syllable.tick; });
    return after == syllables.begin() ? 0 : (after - 1)->end;
}
