// tabrino-play: plays a Standard MIDI File through the output stage in real
// time, without a display, or renders it into a WAV file faster than real
// time. Also the tool for timing measurements.

#include "platform/comm/CPortList.h"
#include "platform/comm/Comm.h"
#include "platform/core/MessageBox.h"
#include "platform/core/CFile.h"
#include "platform/core/Console.h"
#include "platform/core/DrivenTickCount.h"
#include "platform/core/ErrorText.h"
#include "platform/core/FileUri.h"
#include "platform/core/LastError.h"
#include "platform/core/SongFolder.h"
#include "platform/core/Thread.h"
#include "platform/core/TickCount.h"
#include "platform/text/CTextEncoding.h"
#include "player/CDrivenPlayer.h"
#include "player/CM3uList.h"
#include "player/CPlayerHost.h"
#include "player/CPlaylist.h"
#include "player/CPositionText.h"
#include "player/CPractice.h"
#include "player/CPracticeOptions.h"
#include "player/CPracticeRender.h"
#include "player/CMixer.h"
#include "player/CSongMemory.h"
#include "player/CSongSettings.h"
#include "player/CSpeedTrainerSettings.h"
#include "player/CTransport.h"
#include "song/CChannelNames.h"
#include "song/CLyrics.h"
#include "song/CMarkers.h"
#include "tools/play/CPlaylistRun.h"

#include <atomic>
#include <charconv>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The longest tabrino-play sleeps while it prints the words.
constexpr LONGLONG kLyricsLook = 100;

const std::string& Usage()
{
    static const std::string usage =
        std::string("Usage: tabrino-play [--port NAME | --render FILE.wav | --render-parts DIR]\n"
                    "                    [--transpose N] [--tempo BPM] [--from TICK | --from-marker NAME]\n"
                    "                    [--metronome] [--count-in BARS]\n"
                    "                    [--loop FROM-TO [--speed-trainer F,T,S,P]] [--mute LIST]\n"
                    "                    [--solo N] [--emphasis N[,LEVEL] | --minus-one N]\n"
                    "                    [--soundfont PATH] [--lyrics [--encoding NAME]] [--no-sysex]\n"
                    "                    [--reset NAME] [--remembered] [--shuffle] [--repeat]\n"
                    "                    [--gap SECONDS] [--recursive] [--render-dir DIR] FILE...\n"
                    "\n"
                    "Plays the Standard MIDI File FILE (or the one in the RMID file FILE) from\n"
                    "start to end and exits. The MIDI bytes go to synth unless --port names\n"
                    "another. Several FILEs, a folder (its MIDI files, by name) or a playlist\n"
                    "(.m3u or .m3u8: its songs in its order, relative paths taken from the\n"
                    "list's folder) play one after another; a song that cannot be opened is\n"
                    "told and passed over.\n"
                    "\n")
        + CPortList::OutputOptions()
        + "  --render FILE.wav render the song through the built-in synthesizer into\n"
          "                    FILE.wav as fast as the machine allows, with the sound\n"
          "                    of playback in real time (needs no sound card); - for\n"
          "                    standard output\n"
          "  --render-parts DIR render two practice tracks for every channel the song\n"
          "                    plays on into the folder DIR (made when missing):\n"
          "                    NN-NAME-emphasis.wav with that channel forward and\n"
          "                    NN-NAME-minus-one.wav without it, the other options\n"
          "                    applied to all; two at a time\n"
          "  --transpose N     transposition in semitones, -12..12 (the drum channel stays)\n"
          "  --tempo BPM       tempo in beats per minute, 30..300, instead of the file's\n"
          "  --from TICK       start position in ticks, before the song's end\n"
          "  --from-marker NAME start at the song's marker (or cue point) NAME, at the\n"
          "                    start of its beat\n"
          "  --count-in BARS   0, 1 or 2 bars of clicks before the song starts, on the\n"
          "                    meter and tempo where it starts\n"
          "  --metronome       click on every beat of the song's meter, accented on the\n"
          "                    first beat of each bar\n"
          "  --loop FROM-TO    play bars FROM to TO over and over until Ctrl-C: 5-9 from\n"
          "                    the start of bar 5 to the start of bar 9, 5.3-9.1 from the\n"
          "                    third beat of bar 5 to the first of bar 9; starts at FROM\n"
          "                    unless --from is given\n"
          "  --speed-trainer FROM,TO,STEP,PASSES\n"
          "                    the loop's first pass at FROM % of the song's tempo,\n"
          "                    STEP % faster every PASSES passes up to TO % (70,100,5,2);\n"
          "                    each pass's tempo is printed on standard output\n"
          "  --mute LIST       silence channels 1..16 (a list: 2,10)\n"
          "  --solo N          hear channel N alone\n"
          "  --emphasis N[,LEVEL] channel N at full volume, every other one at LEVEL\n"
          "                    percent of its own (0..100, 30 when not given)\n"
          "  --minus-one N     leave channel N out, everything else as in the song\n"
          "  --lyrics          print the song's words on standard output as they are\n"
          "                    sung, a line at a time as each line starts (its title\n"
          "                    first, an empty line before each new verse)\n"
          "  --encoding NAME   decode the words in NAME (UTF-8, ISO-8859-1,\n"
          "                    WINDOWS-1252, WINDOWS-1251, SHIFT_JIS ...) instead of\n"
          "                    the encoding judged from them\n"
          "  --remembered      apply what the player window remembers for this song\n"
          "                    (tempo, transposition, mutes, loop...); the other\n"
          "                    options given go before it\n"
          "  --shuffle         several songs in a random order, each once\n"
          "  --repeat          several songs over and over until Ctrl-C\n"
          "  --gap SECONDS     the pause between two songs, 0..60 (2 unless given)\n"
          "  --recursive       a folder's subfolders too\n"
          "  --render-dir DIR  render each song into DIR/NAME.wav (NAME its file's\n"
          "                    name); several songs with --render FILE.wav go to\n"
          "                    FILE-01.wav, FILE-02.wav ... in the order played\n"
          "  --help            this text\n"
          "  --version         the program's version\n"
          "\n"
          "On a terminal the position is shown as bar.beat.tick and as time about once\n"
          "a second. Ctrl-C (or closing the terminal, or a termination request) stops\n"
          "playback and exits; a second signal while it stops changes nothing. FILE\n"
          "may be a file URI (file:///path/song.mid).\n"
          "\n"
          "Exit status: 0 played to the end (or --help, --version, --list-ports), 1 a\n"
          "song or the port cannot be opened (or a render too long for a WAV file; of\n"
          "several songs, those that could be played were), 2 a\n"
          "mistyped command line (or a number out of its range, a --loop outside the\n"
          "song), 3 a write to the port failed, 128 + the signal's number\n"
          "when stopped by a signal (130 Ctrl-C, 129 the terminal closed, 143 a\n"
          "termination request).\n";
    return usage;
}

struct Options {
    std::string port { "synth" };
    std::string render;
    std::string renderParts;
    std::string renderDir;
    std::vector<std::string> files;
    std::string soundFont;
    long long transpose { 0 };
    long long tempo { 0 };
    long long from { 0 };
    bool hasTranspose { false };
    bool hasTempo { false };
    bool hasFrom { false };
    bool hasPort { false };
    bool metronome { false };
    bool lyrics { false };
    std::string encoding;
    bool noSysEx { false };
    bool remembered { false };
    std::int32_t reset { CSerialMidiOut::RESET_NONE };
    // Taken once the song's meter is known.
    std::string loop;
    bool hasLoop { false };
    CPracticeOptions practice;
    int countIn { 0 };
    bool hasCountIn { false };
    CSpeedTrainerSettings trainer;
    std::string fromMarker;
    bool hasFromMarker { false };
    // Several songs: the order, the pause between them, folders.
    bool shuffle { false };
    bool repeat { false };
    bool recursive { false };
    long long gapMs { 2000 };
    // Set once the songs are known: one of several plays, and passes on.
    bool several { false };
};

bool ParseNumber(const char* text, long long& value)
{
    const char* end = text + std::strlen(text);
    auto [rest, error] = std::from_chars(text, end, value);
    return error == std::errc() && rest == end && rest != text;
}

// Returns 0 when the options are complete, otherwise the exit status.
int ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tabrino-play: %s needs a value\n", arg.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        // A number outside low..high is refused with the range, as a
        // channel outside 1..16 is.
        auto number = [&](long long& out, bool& seen, long long low, long long high, const char* unit) {
            const char* text = nullptr;
            if (!value(text))
                return false;
            if (!ParseNumber(text, out)) {
                std::fprintf(stderr, "tabrino-play: %s takes a whole number, not \"%s\"\n", arg.c_str(), text);
                return false;
            }
            if (out < low || out > high) {
                std::fprintf(stderr, "tabrino-play: %s takes %lld to %lld%s, not %s\n", arg.c_str(), low, high, unit, text);
                return false;
            }
            seen = true;
            return true;
        };
        const char* text = nullptr;
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage().c_str(), stdout);
            return -1;
        } else if (arg == "--version") {
            std::printf("tabrino-play %s\n", TABRINO_VERSION);
            return -1;
        } else if (arg == "--list-ports") {
            std::fputs(CPortList::Scan(true).Text().c_str(), stdout);
            return -1;
        } else if (arg == "--port") {
            if (!value(text))
                return 2;
            options.port = text;
            options.hasPort = true;
        } else if (arg == "--render" || arg == "--render-parts") {
            if (!value(text))
                return 2;
            const bool parts = arg == "--render-parts";
            if (!*text) {
                std::fprintf(stderr, "tabrino-play: %s needs a %s\n", arg.c_str(), parts ? "folder" : "file name");
                return 2;
            }
            (parts ? options.renderParts : options.render) = text;
        } else if (arg == "--render-dir") {
            if (!value(text))
                return 2;
            if (!*text) {
                std::fprintf(stderr, "tabrino-play: --render-dir needs a folder\n");
                return 2;
            }
            options.renderDir = text;
        } else if (arg == "--shuffle") {
            options.shuffle = true;
        } else if (arg == "--repeat") {
            options.repeat = true;
        } else if (arg == "--recursive") {
            options.recursive = true;
        } else if (arg == "--gap") {
            if (!value(text))
                return 2;
            double seconds = -1;
            const char* end = text + std::strlen(text);
            auto [rest, error] = std::from_chars(text, end, seconds);
            if (error != std::errc() || rest != end || !(seconds >= 0 && seconds <= 60)) {
                std::fprintf(stderr, "tabrino-play: --gap takes 0 to 60 seconds, not \"%s\"\n", text);
                return 2;
            }
            options.gapMs = static_cast<long long>(seconds * 1000 + 0.5);
        } else if (arg == "--transpose") {
            if (!number(options.transpose, options.hasTranspose, -CTransport::MAX_TRANSPOSE, CTransport::MAX_TRANSPOSE,
                    " semitones"))
                return 2;
        } else if (arg == "--tempo") {
            if (!number(options.tempo, options.hasTempo, CTransport::MIN_BPM, CTransport::MAX_BPM, " beats per minute"))
                return 2;
        } else if (arg == "--from") {
            // Checked against the song's length once it is loaded.
            if (!number(options.from, options.hasFrom, 0, LLONG_MAX, ""))
                return 2;
        } else if (arg == "--soundfont") {
            if (!value(text))
                return 2;
            options.soundFont = text;
        } else if (arg == "--no-sysex") {
            options.noSysEx = true;
        } else if (arg == "--reset") {
            if (!value(text))
                return 2;
            options.reset = CSerialMidiOut::ResetFromName(text);
            if (options.reset < 0) {
                std::fprintf(stderr, "tabrino-play: --reset takes none, gm, gm2, gs or xg, not \"%s\"\n", text);
                return 2;
            }
        } else if (arg == "--count-in") {
            long long bars = 0;
            if (!value(text))
                return 2;
            if (!ParseNumber(text, bars) || bars < 0 || bars > CCountInSettings::MAX_BARS) {
                std::fprintf(stderr, "tabrino-play: --count-in takes 0, 1 or 2 bars, not \"%s\"\n", text);
                return 2;
            }
            options.countIn = static_cast<int>(bars);
            options.hasCountIn = true;
        } else if (arg == "--speed-trainer") {
            std::string error;
            if (!value(text))
                return 2;
            if (!options.trainer.FromArgument(text, error)) {
                std::fprintf(stderr, "tabrino-play: %s\n", error.c_str());
                return 2;
            }
        } else if (arg == "--from-marker") {
            if (!value(text))
                return 2;
            options.fromMarker = text;
            options.hasFromMarker = true;
        } else if (arg == "--metronome") {
            options.metronome = true;
        } else if (arg == "--remembered") {
            options.remembered = true;
        } else if (arg == "--lyrics") {
            options.lyrics = true;
        } else if (arg == "--encoding") {
            if (!value(text))
                return 2;
            options.encoding = text;
            if (options.encoding.empty() || !CTextEncoding::FindChoice(options.encoding)) {
                std::fprintf(stderr, "tabrino-play: unknown encoding \"%s\" (see --help)\n", text);
                return 2;
            }
        } else if (arg == "--loop") {
            if (!value(text))
                return 2;
            options.loop = text;
            options.hasLoop = true;
        } else if (arg == "--mute" || arg == "--solo" || arg == "--emphasis" || arg == "--minus-one") {
            if (!value(text))
                return 2;
            CPracticeOptions& practice = options.practice;
            const BOOL taken = arg == "--mute" ? practice.AddMutes(text)
                : arg == "--solo"              ? practice.SetSolo(text)
                : arg == "--emphasis"          ? practice.SetEmphasis(text)
                                               : practice.SetMinusOne(text);
            if (!taken) {
                std::fprintf(stderr, "tabrino-play: %s\n", options.practice.m_error.c_str());
                return 2;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "tabrino-play: unknown option %s (see --help)\n", arg.c_str());
            return 2;
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.files.empty()) {
        std::fputs(Usage().c_str(), stderr);
        return 2;
    }
    if (!options.render.empty() && !options.renderDir.empty()) {
        std::fprintf(stderr, "tabrino-play: --render and --render-dir name two places; give one\n");
        return 2;
    }
    if (!options.renderDir.empty()) {
        // A folder of renders is a render, with the rules of one.
        options.render = options.renderDir;
    }
    if (options.repeat && !options.render.empty()) {
        std::fprintf(stderr, "tabrino-play: --repeat plays until Ctrl-C, a render must end; it takes no --repeat\n");
        return 2;
    }
    if (!options.renderParts.empty()) {
        // The parts are renders of their own, each with its own mix.
        const char* refused = options.hasPort ? "--port"
            : !options.renderDir.empty()      ? "--render-dir"
            : !options.render.empty()         ? "--render"
            : options.hasLoop                 ? "--loop"
            : options.hasFrom                 ? "--from"
            : !options.fromMarker.empty()     ? "--from-marker"
            : options.lyrics                  ? "--lyrics"
            : options.practice.m_mix.focus != CMixerValues::FOCUS_NONE ? "--emphasis or --minus-one"
                                                                       : nullptr;
        if (refused) {
            std::fprintf(stderr, "tabrino-play: --render-parts renders every part from the start; it takes no %s\n",
                refused);
            return 2;
        }
    }
    if (options.hasPort && !options.render.empty()) {
        std::fprintf(stderr, "tabrino-play: --render writes to its own file; it takes no --port\n");
        return 2;
    }
    if (!options.encoding.empty() && !options.lyrics && !options.hasFromMarker) {
        std::fprintf(stderr, "tabrino-play: --encoding goes with --lyrics or --from-marker\n");
        return 2;
    }
    if (options.trainer.on && !options.hasLoop) {
        std::fprintf(stderr, "tabrino-play: --speed-trainer trains on a loop; give it --loop FROM-TO\n");
        return 2;
    }
    if (options.hasFromMarker && options.hasFrom) {
        std::fprintf(stderr, "tabrino-play: --from and --from-marker both give the start; give one\n");
        return 2;
    }
    if (options.hasLoop && !options.render.empty()) {
        std::fprintf(stderr, "tabrino-play: --loop plays until Ctrl-C, a render must end; it takes no --loop\n");
        return 2;
    }
    return 0;
}

// Applies the window's memory of the song (found by the hash of its bytes)
// and says what it applied. The file is only read here: a damaged one is
// left for the window to set aside. A render must end and one song of several
// must give way to the next, so they leave out a
// remembered loop.
CSongMemory::Record ApplyRemembered(
    CPlayerHost& player, CPractice& practice, CMixer& mixer, const Options& options, const std::string& shown)
{
    CSongMemory memory;
    const std::string path = CSongMemory::FilePath();
    const CSongMemory::LoadResult loaded = memory.Load(path);
    if (loaded == CSongMemory::LoadResult::Damaged || loaded == CSongMemory::LoadResult::Unreadable) {
        std::fprintf(stderr, "tabrino-play: the song memory %s %s; nothing remembered is applied\n", path.c_str(),
            loaded == CSongMemory::LoadResult::Damaged ? "is damaged" : "cannot be read");
        return {};
    }
    const CSongMemory::Record* record = memory.Find(player.m_songHash);
    if (!record) {
        std::fprintf(stderr, "tabrino-play: nothing is remembered for %s\n", shown.c_str());
        return {};
    }
    CSongSettings(player, practice, &mixer).Apply(*record);
    if (!options.render.empty() || options.several)
        practice.ClearLoop();
    std::string told;
    for (const auto& [name, text] : *record)
        told += " " + name + "=" + text;
    std::fprintf(stderr, "tabrino-play: remembered:%s\n", told.c_str());
    return *record;
}

// Folds what the memory set into the options, for the practice tracks that
// each render the song afresh from them: the options given go first, then
// the remembered tempo, transposition, count-in, mutes, solo and mix (of which an
// emphasis or minus one given replaces the remembered one).
void FoldRemembered(const CSongMemory::Record& record, const CPlayerState& state, const CPractice& practice,
    const CMixer& mixer, Options& options)
{
    if (record.count("Tempo") && !options.hasTempo) {
        options.tempo = state.m_bpm;
        options.hasTempo = true;
    }
    CCountInSettings countIn;
    if (record.count("CountIn") && !options.hasCountIn && countIn.FromText(record.at("CountIn"))) {
        options.countIn = countIn.bars;
        options.hasCountIn = true;
    }
    if (record.count("Transpose") && !options.hasTranspose) {
        options.transpose = state.m_transpose;
        options.hasTranspose = true;
    }
    for (int n = 0; n < 16; ++n) {
        if (practice.SoloChannel() >= 0 ? (practice.MutedBeforeSolo() >> n) & 1u : practice.IsMuted(n))
            options.practice.m_muted |= 1u << n;
    }
    if (options.practice.m_solo < 0)
        options.practice.m_solo = practice.SoloChannel();
    CMixerValues mix = mixer.Values();
    const CMixerValues& given = options.practice.m_mix;
    if (given.focus != CMixerValues::FOCUS_NONE) {
        mix.focus = given.focus;
        mix.focusChannel = given.focusChannel;
        mix.emphasisLevel = given.emphasisLevel;
    }
    options.practice.m_mix = mix;
}

// A duration as hours:minutes:seconds.
std::string Duration(ULONGLONG micros)
{
    const unsigned long long seconds = micros / 1000000;
    char text[48];
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

void ShowStatus(CPlayerState& state)
{
    LONGLONG ppqn = state.m_ppqn;
    LONGLONG usPerQuarter = state.m_usPerQuarter;
    LONGLONG position = state.m_currentTick;
    LONGLONG length = state.m_length;
    std::fprintf(stderr, "\r%s  %s  of  %s  %s  \x1b[K",
        CPositionText::BarBeatTick(position, state.m_meterMap).ToUtf8().c_str(),
        CPositionText::Time(position, state.m_tempoMap, ppqn, usPerQuarter).ToUtf8().c_str(),
        CPositionText::BarBeatTick(length, state.m_meterMap).ToUtf8().c_str(),
        CPositionText::Time(length, state.m_tempoMap, ppqn, usPerQuarter).ToUtf8().c_str());
    std::fflush(stderr);
}

// Prints the song's words as they are sung: each line once the song reaches
// its first syllable, flushed at once.
class CLyricsPrinter {
public:
    CLyricsPrinter(const CTrack* tracks, const std::string& encoding, bool clearStatus)
        : m_clearStatus(clearStatus)
    {
        m_lyrics.Build(tracks, encoding);
        for (const CString& title : m_lyrics.m_title)
            Print(title);
        if (!m_lyrics.m_title.empty())
            Print(CString());
    }

    // The tick of the next line to print; LLONG_MAX when none is left.
    LONGLONG NextTick() const
    {
        return m_next < static_cast<int>(m_lyrics.m_lines.size()) ? m_lyrics.m_lines[static_cast<size_t>(m_next)].tick
                                                                   : LLONG_MAX;
    }

    void Follow(LONGLONG tick)
    {
        // The lines started by tick.
        int started = 0;
        while (started < static_cast<int>(m_lyrics.m_lines.size())
            && m_lyrics.m_lines[static_cast<size_t>(started)].tick <= tick)
            ++started;
        // Playback that starts inside the song, or jumps back, prints the
        // line sung there, not every line before it.
        if (tick < m_tick || m_tick < 0)
            m_next = std::max(0, started - 1);
        m_tick = tick;
        for (; m_next < started; ++m_next) {
            const CLyrics::Line& line = m_lyrics.m_lines[static_cast<size_t>(m_next)];
            if (line.paragraph)
                Print(CString());
            Print(line.text);
        }
    }

private:
    void Print(const CString& text)
    {
        // The position shown on the terminal gives way to the words.
        if (m_clearStatus)
            std::fputs("\r\x1b[K", stderr);
        std::fputs((text.ToUtf8() + "\n").c_str(), stdout);
        std::fflush(stdout);
    }

    CLyrics m_lyrics;
    bool m_clearStatus;
    int m_next { 0 };
    LONGLONG m_tick { -1 };
};

// Plays the song on the clock moved by hand, as fast as the machine allows;
// returns 128 + the signal's number after a stop by a signal, otherwise 0.
int Render(CPlayerHost& player, DrivenTickCount& clock, bool terminal, CLyricsPrinter* lyrics)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begun = Clock::now();
    Clock::time_point shown = begun - std::chrono::seconds(1);
    int exitStatus = 0;
    CDrivenPlayer::Run(player, clock, [&] {
        if (InterruptRequested()) {
            exitStatus = 128 + InterruptSignal();
            return FALSE;
        }
        if (lyrics)
            lyrics->Follow(player.m_playerState.m_currentTick);
        if (terminal && Clock::now() - shown >= std::chrono::seconds(1)) {
            shown = Clock::now();
            ShowStatus(player.m_playerState);
        }
        return TRUE;
    });
    if (terminal) {
        ShowStatus(player.m_playerState);
        const double sound = static_cast<double>(clock.Micros()) / 1e6;
        const double spent = std::chrono::duration<double>(Clock::now() - begun).count();
        std::fprintf(stderr, "\nrendered %.1f s of sound in %.1f s (%.0fx real time)\n", sound, spent,
            spent > 0 ? sound / spent : 0.0);
    }
    return exitStatus;
}

}

namespace {

// Renders the practice tracks of every channel the song plays on into the
// folder, two at a time (each on a thread with its own player and clock);
// a signal stops them all. Returns the exit status.
int RenderParts(const Options& options, const CPlayerHost& song, const CString& songPath)
{
    const CString folder = CString::FromUtf8(options.renderParts);
    if (!CreateDirectoryW(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::fprintf(stderr, "tabrino-play: the folder %s cannot be made\n", options.renderParts.c_str());
        return 1;
    }
    CChannelNames names;
    names.Build(song.m_pTracks);
    CPracticeRender::Settings settings;
    settings.practice = options.practice;
    settings.bpm = options.hasTempo ? static_cast<std::int32_t>(options.tempo) : 0;
    settings.transpose = static_cast<std::int32_t>(options.transpose);
    settings.metronome = options.metronome ? TRUE : FALSE;
    settings.countIn.bars = options.countIn;
    settings.sendSysEx = options.noSysEx ? FALSE : TRUE;
    settings.reset = options.reset;
    struct Job {
        std::unique_ptr<CPracticeRender> render;
        CString path;
    };
    std::vector<Job> jobs;
    for (int channel = 0; channel < 16; ++channel) {
        if (!names.IsUsed(channel))
            continue;
        for (const wchar_t* kind : { L"emphasis", L"minus-one" }) {
            CPracticeRender::Settings part = settings;
            CMixerValues& mix = part.practice.m_mix;
            kind[0] == L'e' ? mix.Emphasize(channel, CMixerValues::DEFAULT_EMPHASIS_LEVEL) : mix.MinusOne(channel);
            jobs.push_back({ std::make_unique<CPracticeRender>(part),
                folder + L"/" + CPracticeRender::PartFileName(channel, names.Name(channel), kind) });
        }
    }
    const auto begun = std::chrono::steady_clock::now();
    std::atomic<size_t> next { 0 };
    std::atomic<int> failed { 0 };
    std::mutex printLock;
    auto work = [&] {
        for (size_t n = next++; n < jobs.size() && !InterruptRequested(); n = next++) {
            Job& job = jobs[n];
            // A signal is seen at the render's next step of progress (a
            // thousandth of the song), on the thread that renders.
            job.render->m_onProgress = [&job](std::int32_t) {
                if (InterruptRequested())
                    job.render->m_cancel = TRUE;
            };
            const BOOL done = job.render->Run(songPath, job.path);
            std::lock_guard<std::mutex> guard(printLock);
            if (done) {
                std::printf("%s\n", job.path.ToUtf8().c_str());
                std::fflush(stdout);
            } else if (!InterruptRequested()) {
                failed = 1;
                std::fprintf(stderr, "tabrino-play: %s\n", job.render->m_error.ToUtf8().c_str());
            }
        }
    };
    // Two renders keep two cores busy; more would only share them.
    const unsigned workers = std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (unsigned n = 0; n < workers; ++n)
        threads.emplace_back(work);
    for (std::thread& thread : threads)
        thread.join();
    if (InterruptRequested())
        return 128 + InterruptSignal();
    if (IsTerminalStream(2)) {
        std::fprintf(stderr, "rendered %zu practice tracks in %.1f s\n", jobs.size(),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count());
    }
    return failed ? 1 : 0;
}

// The song a signal stops, while main waits for it to end; guarded, so
// that a late signal never reaches a player that has gone.
std::mutex g_playingLock;
CPlayerState* g_playing = nullptr;

// Stops the song at the first signal (the player thread sends the all-off).
DWORD StopOnInterrupt(LPVOID)
{
    if (!WaitForInterrupt())
        return 0;
    std::lock_guard<std::mutex> guard(g_playingLock);
    if (g_playing)
        CTransport(*g_playing, nullptr, TRUE).Stop();
    return 0;
}

}

namespace {

// What every song of a run shares: the player with its port (opened at the
// first song that loads and kept for the rest) and the player thread.
struct Session {
    CPlayerHost player;
    bool portOpen { false };
    bool terminal { false };
    HANDLE watcher { nullptr };
};

// The name of a song's file without its folder and its extension.
std::string SongStem(const CString& path)
{
    CString name = path.Mid(path.ReverseFind(L'/') + 1);
    const int dot = name.ReverseFind(L'.');
    if (dot > 0)
        name = name.Left(dot);
    return name.ToUtf8();
}

// Plays one song to its end (or renders it into renderFile). Returns 0, 1
// when the song cannot be opened or rendered (it said why), 2 for an
// option the song refuses, 3 for a failed write, 128 + a signal's number.
int PlaySong(Session& session, const Options& given, const CString& path, const std::string& renderFile)
{
    // The song's memory and markers may add to the options, for this song.
    Options options = given;
    CPlayerHost& player = session.player;
    CPlayerState& state = player.m_playerState;
    const std::string shown = path.ForDisplay().ToUtf8();
    // A file that cannot be loaded has said why.
    if (!player.ReadFile(path))
        return 1;
    if (!player.m_pTracks) {
        std::fprintf(stderr, "tabrino-play: no tracks in %s\n", shown.c_str());
        return 1;
    }
    CTransport transport(state, nullptr, TRUE);
    transport.AdoptSong(player.m_pTracks);
    if (state.m_length == 0) {
        std::fprintf(stderr, "tabrino-play: %s holds nothing to play\n", shown.c_str());
        return 1;
    }

    if (options.hasLoop && !options.practice.SetLoop(options.loop, state.m_meterMap, state.m_length)) {
        std::fprintf(stderr, "tabrino-play: %s\n", options.practice.m_error.c_str());
        return 2;
    }
    // A start at or past the end would play nothing (or, taken as the start,
    // the whole song).
    if (options.hasFrom && options.from >= state.m_length) {
        std::fprintf(stderr, "tabrino-play: --from takes a tick from 0 to %lld (the song ends at tick %lld), not %lld\n",
            static_cast<long long>(state.m_length) - 1, static_cast<long long>(state.m_length), options.from);
        return 2;
    }

    if (options.hasFromMarker) {
        CMarkers markers;
        markers.Build(player.m_pTracks, options.encoding);
        const int found = markers.Find(CString::FromUtf8(options.fromMarker).Str());
        if (found < 0) {
            std::string names;
            for (const CMarkers::Marker& marker : markers.Items())
                names += (names.empty() ? "" : ", ") + CString(marker.name).ToUtf8();
            std::fprintf(stderr, "tabrino-play: %s has no marker \"%s\" (%s%s)\n", shown.c_str(),
                options.fromMarker.c_str(), names.empty() ? "it has none" : "its markers: ", names.c_str());
            return 2;
        }
        // As every seek of the player: at the start of the marker's beat.
        options.from = state.m_meterMap.BeatStart(markers.Items()[static_cast<size_t>(found)].tick);
        options.hasFrom = options.from < state.m_length;
    }
    // The song's memory first; what the command line says goes before it.
    CPractice practice(state, player.m_metronome);
    CMixer mixer(player.m_output, state);
    CSongMemory::Record remembered;
    if (options.remembered)
        remembered = ApplyRemembered(player, practice, mixer, options, shown);
    if (options.hasTempo)
        transport.SetTempo(static_cast<std::int32_t>(options.tempo));
    if (options.hasTranspose)
        transport.SetTranspose(static_cast<std::int32_t>(options.transpose));
    if (options.hasFrom)
        transport.SetPosition(options.from);
    else if (options.practice.HasLoop())
        transport.SetPosition(options.practice.m_loopStart);
    else if (practice.LoopOn())
        transport.SetPosition(practice.LoopStart());

    // A render that a WAV file cannot hold (a damaged song can last years)
    // is refused before anything is written.
    if (!renderFile.empty()) {
        const LONGLONG from = state.m_tempoMap.MicrosAt(state.m_currentTick, state.m_ppqn, state.m_usPerQuarter);
        const LONGLONG to = state.m_tempoMap.MicrosAt(state.m_length, state.m_ppqn, state.m_usPerQuarter);
        const auto sound = static_cast<ULONGLONG>(to - from);
        if (sound > GetSynthWavCapacity()) {
            std::fprintf(stderr,
                "tabrino-play: %s lasts %s from where it starts, at this tempo; a WAV file holds at most %s of "
                "sound, so nothing is rendered\n",
                shown.c_str(), Duration(sound).c_str(), Duration(GetSynthWavCapacity()).c_str());
            return 1;
        }
    }

    if (options.remembered)
        FoldRemembered(remembered, state, practice, mixer, options);
    if (!options.renderParts.empty())
        return RenderParts(options, player, path);
    player.m_output.SetMix(options.practice.m_mix);
    // A render moves the clock by hand from before its file opens (the file
    // counts its sound on that clock) until the port is closed below; each
    // song of a render has a file of its own.
    std::optional<DrivenTickCount> clock;
    if (!renderFile.empty()) {
        clock.emplace(0);
        if (!player.m_output.OpenPort(CString::FromUtf8("synth:" + renderFile)))
            return 1;
    } else if (!session.portOpen) {
        if (options.port != "none" && !player.m_output.OpenPort(CString::FromUtf8(options.port)))
            return 4;
        session.portOpen = true;
        if (!player.StartPlayerThread()) {
            std::fprintf(stderr, "tabrino-play: the player thread cannot be started\n");
            return 4;
        }
        // A signal stops the song from a thread of its own, so that this
        // one sleeps until the song has stopped, waking only for the
        // status line.
        {
            std::lock_guard<std::mutex> guard(g_playingLock);
            g_playing = &state;
        }
        session.watcher = CreateThread(nullptr, 0, &StopOnInterrupt, nullptr, 0, nullptr);
        if (session.watcher)
            CloseHandle(session.watcher);
    }

    options.practice.ApplyTo(practice);
    practice.SetMetronome(options.metronome ? TRUE : FALSE);
    // A remembered count-in or trainer stays unless the command line names one.
    if (!options.remembered || options.hasCountIn)
        player.m_countIn.SetSettings(CCountInSettings { options.countIn, false });
    if (!options.remembered || options.trainer.on)
        player.m_trainer.SetSettings(options.trainer);
    const bool terminal = session.terminal;
    std::optional<CLyricsPrinter> lyrics;
    if (options.lyrics)
        lyrics.emplace(player.m_pTracks, options.encoding, terminal);
    transport.Play();

    int exitStatus = clock ? Render(player, *clock, terminal, lyrics ? &*lyrics : nullptr) : 0;
    if (!clock) {
        DWORD lastStatus = GetTickCount() - 1000;
        long long shownPass = 0;
        while (state.m_playState != STATE_STOPPED && !InterruptRequested()) {
            DWORD wait = INFINITE;
            if (options.trainer.on) {
                // Each pass's tempo once, as the pass begins.
                const long long pass = player.m_trainer.m_pass;
                if (pass != shownPass && pass > 0) {
                    shownPass = pass;
                    const int percent = player.m_trainer.m_percent;
                    std::printf("pass %lld: %d bpm (%d %%)%s\n", pass, static_cast<int>(state.m_bpm), percent,
                        percent >= options.trainer.toPercent ? ", the target" : "");
                    std::fflush(stdout);
                }
                wait = 20;
            }
            if (lyrics) {
                // Wakes when the next line is due; a jump back (a loop) is
                // seen within a tenth of a second.
                lyrics->Follow(state.SampleClock(CPlayerState::Now()));
                const LONGLONG next = lyrics->NextTick();
                const LONGLONG until = next == LLONG_MAX ? kLyricsLook
                                                         : state.MicrosUntil(next, CPlayerState::Now()) / 1000 + 1;
                wait = static_cast<DWORD>(std::min<LONGLONG>(until, kLyricsLook));
            }
            if (terminal) {
                if (GetTickCount() - lastStatus >= 1000) {
                    lastStatus = GetTickCount();
                    ShowStatus(state);
                }
                wait = std::min<DWORD>(wait, 1000 - (GetTickCount() - lastStatus));
            }
            // Without the watcher a signal is seen within 20 ms.
            state.WaitStopped(session.watcher ? wait : std::min<DWORD>(wait, 20));
        }
        if (InterruptRequested()) {
            // The watcher may not have run yet; a second stop changes nothing.
            CTransport(state, nullptr, TRUE).StopAndWait(INFINITE);
            exitStatus = 128 + InterruptSignal();
        }
        if (terminal) {
            ShowStatus(state);
            std::fputc('\n', stderr);
        }
    }
    // Playback stopped at the first failed write; that is told once. A write
    // that gave up at the deadline of a stop by a signal is told too, but
    // the signal still gives the status.
    CString failure;
    if (player.m_output.TakeWriteFailure(failure)) {
        MessageBoxW(nullptr, failure, L"Error", MB_OK | MB_ICONERROR);
        if (!InterruptRequested())
            exitStatus = 3;
    }
    if (clock)
        player.m_output.ClosePort();
    return exitStatus;
}

}

int main(int argc, char** argv)
{
    // The handler goes in first so that a Ctrl-C while the song loads or the
    // port opens still ends through the player thread, with the all-off.
    InstallInterruptHandler();
    Options options;
    int status = ParseOptions(argc, argv, options);
    if (status != 0)
        return status < 0 ? 0 : status;

    // Folders give their MIDI files and playlists their songs, as in the
    // window; anything else named stays a song of its own, even one that
    // turns out missing.
    std::vector<CString> named;
    bool folder = false;
    for (const std::string& file : options.files) {
        named.push_back(FileArgument(file));
        folder = folder || IsFolderPath(named.back()) || CM3uList::IsListName(named.back());
    }
    CPlaylist list;
    list.SetShuffle(options.shuffle);
    list.SetRepeat(options.repeat ? CPlaylist::REPEAT_ALL : CPlaylist::REPEAT_OFF);
    list.Assign(CM3uList::ExpandPaths(named, options.recursive ? TRUE : FALSE));
    if (list.Size() == 0) {
        std::fprintf(stderr, "tabrino-play: no MIDI files in %s\n", options.files.front().c_str());
        return 1;
    }
    const bool several = list.Size() > 1 || folder || options.repeat;
    options.several = several;
    if (several && (options.hasFrom || options.hasLoop || options.hasFromMarker)) {
        std::fprintf(stderr, "tabrino-play: %s names a place in one song; it takes one FILE\n",
            options.hasFrom ? "--from" : options.hasLoop ? "--loop" : "--from-marker");
        return 2;
    }
    if (several && !options.renderParts.empty()) {
        std::fprintf(stderr, "tabrino-play: --render-parts renders the parts of one song; it takes one FILE\n");
        return 2;
    }
    if (several && options.render == "-") {
        std::fprintf(stderr, "tabrino-play: several songs cannot share standard output; use --render FILE.wav\n");
        return 2;
    }
    if (!options.renderDir.empty() && !IsFolderPath(CString::FromUtf8(options.renderDir))
        && !CreateDirectoryW(CString::FromUtf8(options.renderDir), nullptr)) {
        std::fprintf(stderr, "tabrino-play: the folder %s cannot be made: %s\n", options.renderDir.c_str(),
            ErrorText(GetLastError()).ToUtf8().c_str());
        return 1;
    }
    if (!options.soundFont.empty())
        SetSynthSoundFont(CString::FromUtf8(options.soundFont));

    Session session;
    session.terminal = IsTerminalStream(2);
    session.player.m_output.m_sendSysEx = options.noSysEx ? FALSE : TRUE;
    session.player.m_output.m_reset = options.reset;
    // The render file of each song: FILE itself for one song, FILE-NN.wav
    // (NN its number in the order of play) for several; DIR/NAME.wav for a
    // render into a folder, NAME-NN.wav when two songs share a name.
    std::vector<std::string> renderNames;
    auto renderFile = [&](const CString& path, int number) -> std::string {
        if (options.render.empty())
            return std::string();
        char digits[16];
        std::snprintf(digits, sizeof digits, "-%02d", number);
        if (!options.renderDir.empty()) {
            std::string name = options.renderDir + (options.renderDir.back() == '/' ? "" : "/") + SongStem(path);
            if (std::find(renderNames.begin(), renderNames.end(), name) != renderNames.end())
                name += digits;
            renderNames.push_back(name);
            return name + ".wav";
        }
        if (!several)
            return options.render;
        std::string stem = options.render;
        if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".wav") == 0)
            stem.resize(stem.size() - 4);
        return stem + digits + ".wav";
    };

    if (!several) {
        status = PlaySong(session, options, list.Entries().front().path, renderFile(list.Entries().front().path, 1));
    } else {
        // A render needs no pause between its files.
        CPlaylistRun run(list, options.render.empty() ? static_cast<DWORD>(options.gapMs) : 0, session.terminal);
        status = run.Run([&](const CString& path, int number) {
            const int played = PlaySong(session, options, path, renderFile(path, number));
            // The song's own refusal (nothing to play) passes it over; the
            // port is the run's.
            return played == 2 ? CPlaylistRun::SKIPPED : played;
        });
    }
    {
        std::lock_guard<std::mutex> guard(g_playingLock);
        g_playing = nullptr;
    }
    session.player.m_output.ClosePort();
    // A port or thread that failed ends the run as a song that cannot be
    // opened does.
    return status == 4 ? 1 : status;
}
