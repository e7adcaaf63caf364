// tabrino-dump FILE: loads a Standard MIDI File (or the one in an RMID file)
// the way the player does and prints the song record, every track and every
// event read (up to a fault), then the failure that ended the load. Other
// readers' outputs are compared with it line by line, so the format must not
// change. With --lyrics it prints the song's words instead, a line each with
// the second it starts at; with --markers its markers and cue points.

#include "platform/text/CTextEncoding.h"
#include "song/CLyrics.h"
#include "song/CMarkers.h"
#include "song/CMeterMap.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CSongFile.h"
#include "song/CTempoMap.h"
#include "song/CTrack.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// UTF-8 in double quotes, with quote, backslash and control characters
// escaped so that every record stays on one line.
std::string Quoted(const CString& text)
{
    std::string out = "\"";
    std::wstring run;
    auto flush = [&] {
        out += CString(run).ToUtf8();
        run.clear();
    };
    for (wchar_t c : text.Str()) {
        if (c == L'"' || c == L'\\') {
            flush();
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            flush();
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
            out += escape;
        } else {
            run += c;
        }
    }
    flush();
    out += '"';
    return out;
}

// The event records of a track, formatted by hand into one buffer: a song
// may hold millions of events, and printf would take most of the time.
class CEventPrinter {
public:
    explicit CEventPrinter(std::FILE* out)
        : m_out(out)
    {
    }
    ~CEventPrinter() { Flush(); }
    CEventPrinter(const CEventPrinter&) = delete;
    CEventPrinter& operator=(const CEventPrinter&) = delete;

    // "e TICK STATUS DATA1 DATA2 METATYPE PAYLOADLENGTH PAYLOAD"
    void Print(const CMidiEvent* event, const CMidiPayload& payload)
    {
        // The fixed part takes at most 2 + 20 + 4 * 3 + 1 + 10 + 1 + 1 + 1.
        Room(48);
        Put("e ", 2);
        m_end = std::to_chars(m_end, m_buffer + kSize, static_cast<std::int64_t>(event->m_tick)).ptr;
        for (BYTE b : { event->m_status, event->m_data1, event->m_data2, event->m_metaType }) {
            *m_end++ = ' ';
            Hex(b);
        }
        *m_end++ = ' ';
        m_end = std::to_chars(m_end, m_buffer + kSize, payload.length).ptr;
        *m_end++ = ' ';
        if (payload.length == 0)
            *m_end++ = '-';
        for (DWORD i = 0; i < payload.length; ++i) {
            Room(3);
            Hex(payload.bytes[i]);
        }
        *m_end++ = '\n';
    }

    void Flush()
    {
        std::fwrite(m_buffer, 1, static_cast<size_t>(m_end - m_buffer), m_out);
        m_end = m_buffer;
    }

private:
    static constexpr size_t kSize = 1 << 16;

    void Room(size_t bytes)
    {
        if (static_cast<size_t>(m_buffer + kSize - m_end) < bytes)
            Flush();
    }
    void Put(const char* text, size_t length)
    {
        std::memcpy(m_end, text, length);
        m_end += length;
    }
    void Hex(BYTE b)
    {
        static const char kHex[] = "0123456789ABCDEF";
        *m_end++ = kHex[b >> 4];
        *m_end++ = kHex[b & 0x0F];
    }

    std::FILE* m_out;
    char m_buffer[kSize];
    char* m_end { m_buffer };
};

void PrintTrack(std::FILE* out, int index, const CTrack* track)
{
    long events = 0;
    CRing::ForEach(track->m_firstEvent, [&events](const CMidiEvent*) { ++events; });
    std::fprintf(out,
        "track %d tempo=%d timeSignature=%d keySignature=%d sequence=%d lastTick=%" PRId64
        " events=%ld name=%s instrument=%s\n",
        index, track->m_tempo, track->m_timeSignature, track->m_keySignature, track->m_sequenceNumber,
        static_cast<std::int64_t>(track->GetLastTick()), events, Quoted(track->m_name).c_str(),
        Quoted(track->m_instrument).c_str());
    CEventPrinter printer(out);
    size_t hint = 0;
    CRing::ForEach(track->m_firstEvent,
        [&](const CMidiEvent* event) {
            printer.Print(event, event->m_status >= 0xF0 ? track->Payload(event, &hint) : CMidiPayload {});
        });
}

// The song's words as the lyrics window shows them: where they come from,
// the title and information lines, then each line with the second (on the
// file's own tempo map) at which its first syllable is sung.
void PrintLyrics(std::FILE* out, const CSongFile& file, const std::string& encoding)
{
    CLyrics lyrics;
    lyrics.Build(file.m_pTracks, encoding);
    // The player's tempo map: a song timed in SMPTE frames keeps one tempo.
    const CSongFacts& facts = file.m_facts;
    CTempoMap tempo;
    if (facts.m_framesPerSecond > 0)
        tempo.Constant(facts.m_usPerQuarter);
    else
        tempo.Build(file.m_pTracks);
    std::fprintf(out, "lyrics track=%d events=%s encoding=%s %s\n", lyrics.m_track,
        lyrics.m_track < 0 ? "none" : lyrics.m_lyricEvents ? "lyric" : "text", lyrics.m_encoding.c_str(),
        lyrics.m_forced ? "chosen" : "judged");
    for (const CString& title : lyrics.m_title)
        std::fprintf(out, "title %s\n", Quoted(title).c_str());
    for (const CLyrics::Info& info : lyrics.m_info)
        std::fprintf(out, "info %s %s\n", CString(std::wstring(1, info.tag)).ToUtf8().c_str(), Quoted(info.text).c_str());
    for (const CLyrics::Line& line : lyrics.m_lines) {
        const double seconds = static_cast<double>(tempo.MicrosAt(line.tick, facts.m_ppqn, tempo.FirstTempo())) / 1e6;
        std::fprintf(out, "%s %.3f %s\n", line.paragraph ? "paragraph" : "line", seconds, Quoted(line.text).c_str());
    }
}

void PrintMarkers(std::FILE* out, const CSongFile& file, const std::string& encoding)
{
    CMarkers markers;
    markers.Build(file.m_pTracks, encoding);
    CMeterMap meter;
    meter.Build(file.m_pTracks, file.m_facts.m_ppqn);
    for (const CMarkers::Marker& marker : markers.Items()) {
        const CMeterMap::Position at = meter.At(marker.tick);
        std::fprintf(out, "%s %" PRId64 " %" PRId64 ".%" PRId64 " %s\n", marker.cue ? "cue" : "marker",
            static_cast<std::int64_t>(marker.tick), static_cast<std::int64_t>(at.bar + 1),
            static_cast<std::int64_t>(at.beat + 1), Quoted(CString(marker.name)).c_str());
    }
}

void PrintUsage(std::FILE* out)
{
    std::fputs("usage: tabrino-dump FILE\n"
               "       tabrino-dump --lyrics [--encoding NAME] FILE\n"
               "       tabrino-dump --markers [--encoding NAME] FILE\n"
               "Loads a Standard MIDI File (or the one in an RMID file) as TabrinoCE does\n"
               "and prints, one per line:\n"
               "  song format= tracks= ppqn= usPerQuarter= smpteOffset=   (left out when no song loaded)\n"
               "  track INDEX tempo= timeSignature= keySignature= sequence= lastTick= events= name=\"\" instrument=\"\"\n"
               "  e TICK STATUS DATA1 DATA2 METATYPE PAYLOADLENGTH PAYLOAD\n"
               "  message \"TEXT\"   (why the load stopped, when it did)\n"
               "With --lyrics, the song's words as the lyrics window shows them:\n"
               "  lyrics track=INDEX events=lyric|text|none encoding=NAME judged|chosen\n"
               "  title \"TEXT\"           (each @T line of a karaoke file)\n"
               "  info LETTER \"TEXT\"     (the other @ lines: I, K, V, L ...)\n"
               "  line SECONDS \"TEXT\"    (each line, with when its first syllable is sung)\n"
               "  paragraph SECONDS \"TEXT\"   (a line that begins a paragraph)\n"
               "  message \"TEXT\"\n"
               "With --markers, the song's Marker and Cue Point events in song order:\n"
               "  marker TICK BAR.BEAT \"NAME\"   (cue TICK BAR.BEAT \"NAME\" for a cue point)\n"
               "  message \"TEXT\"\n"
               "  --encoding NAME  decode the words in NAME instead of the encoding judged\n"
               "                   from them: UTF-8, ISO-8859-1, WINDOWS-1252, WINDOWS-1251,\n"
               "                   SHIFT_JIS ... (the list of the lyrics window's menu)\n"
               "The exit status is 0 whatever the file holds, 2 for a mistyped command line.\n",
        out);
}

}

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    bool lyrics = false;
    bool markers = false;
    std::string encoding;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--lyrics") == 0) {
            lyrics = true;
        } else if (std::strcmp(argv[i], "--markers") == 0) {
            markers = true;
        } else if (std::strcmp(argv[i], "--encoding") == 0 && i + 1 < argc) {
            encoding = argv[++i];
            if (encoding.empty() || !CTextEncoding::FindChoice(encoding)) {
                std::fprintf(stderr, "tabrino-dump: unknown encoding \"%s\" (see --help)\n", encoding.c_str());
                return 2;
            }
        } else if (argv[i][0] == '-' || path) {
            PrintUsage(stderr);
            return 2;
        } else {
            path = argv[i];
        }
    }
    if (!path || (!encoding.empty() && !lyrics && !markers) || (lyrics && markers)) {
        PrintUsage(stderr);
        return 2;
    }

    CSongFile file;
    file.Load(CString::FromUtf8(path));

    std::FILE* out = stdout;
    if (lyrics || markers) {
        if (lyrics)
            PrintLyrics(out, file, encoding);
        else
            PrintMarkers(out, file, encoding);
        if (!file.Failure().IsEmpty())
            std::fprintf(out, "message %s\n", Quoted(file.Failure()).c_str());
        std::fflush(out);
        return 0;
    }
    if (const CSong* song = file.m_pSongs) {
        std::fprintf(out, "song format=%d tracks=%d ppqn=%" PRId64 " usPerQuarter=%" PRId64 " smpteOffset=%" PRId64 "\n",
            song->m_format, song->m_trackCount, static_cast<std::int64_t>(file.m_facts.m_ppqn),
            static_cast<std::int64_t>(file.m_facts.m_usPerQuarter),
            static_cast<std::int64_t>(file.m_facts.m_smpteOffset));
    }
    int index = 0;
    CRing::ForEach(file.m_pTracks, [out, &index](const CTrack* track) { PrintTrack(out, index++, track); });
    if (!file.Failure().IsEmpty())
        std::fprintf(out, "message %s\n", Quoted(file.Failure()).c_str());
    std::fflush(out);
    return 0;
}
