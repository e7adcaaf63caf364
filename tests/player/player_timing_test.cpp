#include "PlayerTestSupport.h"
#include "tests/PostedMessages.h"

#include "player/CDrivenPlayer.h"
#include "player/CPositionText.h"
#include "player/CTransport.h"
#include "tests/SmfBytes.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <tuple>
#include <utility>

// The driven player lets the clock run for each sleep the engine asks for,
// so everything goes out at the time the thread would send it: the thread
// sleeps until the next event or click, along the song's tempo map scaled by
// the tempo box, and a tempo change goes on from the position where it came.
TEST(Timing, EventsAndClicksGoOutAtTheirTimesAcrossTempoChanges)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    CTrack* track = d.AddTrack();
    // A quarter of 500000 us, then of 250000 from tick 960.
    AddAt(track, 0, 0xFF, 0, 0, 0x51, { 0x07, 0xA1, 0x20 });
    for (BYTE n = 0; n < 4; ++n) {
        if (n == 2)
            AddAt(track, n * 480, 0xFF, 0, 0, 0x51, { 0x03, 0xD0, 0x90 });
        AddAt(track, n * 480, 0x90, n, 1);
    }
    AddAt(track, 1600, 0x80, 3, 0);
    d.state.m_ppqn = 480;
    CTransport transport(d.state, nullptr, FALSE);
    transport.AdoptSong(d.dialog.m_pTracks);
    d.dialog.m_metronome.m_enabled = TRUE;
    ASSERT_TRUE(transport.Play());
    // Each note (n) and click (c) with its time.
    std::vector<std::pair<LONGLONG, char>> sent;
    int periods = 0;
    CDrivenPlayer::Run(d.dialog, clock, [&] {
        ++periods;
        for (const Message& m : d.Take()) {
            if (m[0] == 0x90 || (m[0] == 0x99 && m[2] != 0))
                sent.emplace_back(clock.Micros(), m[0] == 0x90 ? 'n' : 'c');
        }
        // At tick 480 the tempo box halves the speed from there on.
        if (clock.Micros() == 500000)
            EXPECT_TRUE(transport.SetTempo(60));
        return TRUE;
    });
    // The first click comes right after the start, then one every beat,
    // before the song's events of the same period.
    EXPECT_EQ(sent, (std::vector<std::pair<LONGLONG, char>> { { 0, 'n' }, { 1042, 'c' }, { 500000, 'c' },
                        { 500000, 'n' }, { 1500000, 'c' }, { 1500000, 'n' }, { 2000000, 'c' }, { 2000000, 'n' } }));
    EXPECT_EQ(d.state.m_playState, STATE_STOPPED);
    EXPECT_EQ(clock.Micros(), 2166667) << "stopped by itself at the song's end";
    EXPECT_LE(periods, 7) << "woken only for work";
}

// The same bytes in the same order as from the player thread, which sends
// them in real time; a stop asked for between two periods ends the run there
// with the all-off, as Ctrl-C does.
TEST(Timing, TheDrivenPlayerSendsWhatThePlayerThreadSends)
{
    std::vector<int> threaded;
    std::optional<DrivenTickCount> clock;
    // The player thread, then the driven player to the end and stopped after its fourth period.
    for (int stopAfter : { -1, 0, 4 }) {
        if (stopAfter >= 0)
            clock.emplace(0);
        // One track, so that the order is the file's however late the
        // thread wakes; the last events come 0.2 s before the end.
        CapturedDialog d;
        d.TickPerMs();
        CTrack* track = d.AddTrack();
        AddAt(track, 0, 0xC0, 19);
        for (LONGLONG tick = 0; tick < 400; tick += 40) {
            AddAt(track, tick, 0x90, static_cast<BYTE>(60 + tick / 40), 100);
            AddAt(track, tick + 7, 0xE1, 0, static_cast<BYTE>(64 + tick / 40));
            AddAt(track, tick + 20, 0x80, static_cast<BYTE>(60 + tick / 40), 0);
        }
        d.state.m_length = 600;
        ASSERT_TRUE(CTransport(d.state, nullptr, FALSE).Play());
        if (stopAfter < 0) {
            ASSERT_TRUE(d.dialog.StartPlayerThread());
            while (d.state.m_playState != STATE_STOPPED)
                Sleep(5);
            threaded = d.Bytes();
            ASSERT_EQ(threaded.size(), 64u * 3 + 2 + 30 * 3 + 48 * 3) << "the start, every event and the all-off";
            continue;
        }
        size_t sentBeforeStop = 0;
        int periods = 0;
        CDrivenPlayer::Run(d.dialog, *clock, [&] {
            sentBeforeStop = d.Bytes().size();
            return ++periods != stopAfter ? TRUE : FALSE;
        });
        std::vector<int> expected(threaded.begin(), threaded.begin() + static_cast<long>(sentBeforeStop));
        expected.insert(expected.end(), threaded.end() - 48 * 3, threaded.end());
        EXPECT_EQ(d.Bytes(), expected) << stopAfter;
        EXPECT_EQ(clock->Micros(), stopAfter ? 40000 : 600000) << stopAfter;
    }
}

// Refresh posts to the window (1005 display, 1004 meters), as the dialog's
// flags and the last runs of both commands ask for them.
TEST(Timing, RefreshesArePostedWhileSomethingMovesAndTheIdleThreadSleeps)
{
    DrivenTickCount clock(1000);
    CTabrinoDlg dialog;
    ASSERT_TRUE(dialog.CreateHeadless(240, 268));
    dialog.m_playerState.m_lastMeterTime = 980;
    struct Step { DWORD ms; BOOL refresh, display, meters; DWORD displayRan, sleep; std::vector<WPARAM> posted; };
    for (const Step& s : std::vector<Step> {
             { 1000, FALSE, TRUE, TRUE, 990, INFINITE, {} }, // off until the dialog turns them on
             { 1000, TRUE, FALSE, FALSE, 990, INFINITE, {} }, // nothing moves: only a request wakes the thread
             { 1000, TRUE, TRUE, TRUE, 990, 6000, {} }, // both go out together, when the later is due
             { 1006, TRUE, TRUE, TRUE, 990, 16000, { 1005, 1004 } },
             { 1016, TRUE, TRUE, TRUE, 990, 6000, {} }, // a post not run yet is not repeated at once
             { 1022, TRUE, FALSE, TRUE, 1016, 16000, { 1004 } }, // the display ran, the meters not
         }) {
        clock.Set(s.ms);
        dialog.m_bRefresh = s.refresh;
        dialog.m_bDisplayPending = s.display;
        dialog.m_bMetersMoving = s.meters;
        dialog.m_dwLastRefresh = s.displayRan;
        EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), s.sleep) << s.ms;
        std::vector<WPARAM> posted;
        for (const MSG& msg : DrainPostedMessages(dialog.m_hWnd))
            posted.push_back(msg.lParam == reinterpret_cast<LPARAM>(dialog.m_hWnd) ? msg.wParam : 0);
        EXPECT_EQ(posted, s.posted) << s.ms;
    }
    // While the window's own timer runs them, the thread posts none.
    clock.Set(1100);
    dialog.m_bRefreshTimer = TRUE;
    EXPECT_EQ(CPlayerEngine::RunPeriod(dialog), INFINITE);
    EXPECT_TRUE(DrainPostedMessages(dialog.m_hWnd).empty());
}

// The window's look at the clock: the position at that moment, held at the
// loop's end until the thread turns there; while stopped, the position as
// it stands.
TEST(Timing, TheWindowSamplesTheRunningClock)
{
    CPlayerState state;
    state.m_ppqn = 384;
    state.m_usPerQuarter = 500000;
    state.m_currentTick = 100;
    EXPECT_EQ(state.SampleClock(5000000), 100);
    state.AnchorClock(1000000, 384);
    EXPECT_EQ(state.SampleClock(1500000), 768);
    state.SetLoop(0, 960, TRUE);
    EXPECT_EQ(state.SampleClock(1875000), 960);
    EXPECT_EQ(state.m_currentTick, 960);
    state.SetLoop(0, 960, FALSE);
    EXPECT_EQ(state.SampleClock(1875000), 1056);
    state.StopClock();
    EXPECT_EQ(state.SampleClock(9000000), 1056);
}

namespace {

// A file of one track: a tempo event when given, a note at tick 0 and one
// at `tick`, both ending at twice that; written where the tests write.
std::string WriteFile(const std::string& name, int division, long tempo, unsigned long tick)
{
    std::vector<BYTE> track;
    if (tempo > 0)
        track.insert(track.end(), { 0x00, 0xFF, 0x51, 0x03, BYTE(tempo >> 16), BYTE(tempo >> 8), BYTE(tempo) });
    track.insert(track.end(), { 0x00, 0x90, 60, 100 });
    PutVarLen(track, tick);
    track.insert(track.end(), { 0x90, 62, 100 });
    PutVarLen(track, tick);
    track.insert(track.end(), { 0x80, 60, 0, 0x00, 0x80, 62, 0 });
    std::vector<BYTE> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, BYTE(division >> 8), BYTE(division) };
    PutTrackChunk(file, track);
    const std::string path = std::string(TEST_BINARY_DIR) + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), long(file.size()));
    return path;
}

// What a file opened as the window opens it shows and sends, played to its
// end on the driven clock: each message with its time.
struct Played {
    std::int32_t bpm;
    std::string length;
    std::vector<std::pair<LONGLONG, Message>> sent;
};

Played Play(const std::string& path)
{
    DrivenTickCount clock(0);
    CapturedDialog d;
    EXPECT_TRUE(d.dialog.OpenFile(CString::FromUtf8(path), L"song"));
    Played played { d.state.m_bpm,
        (CPositionText::BarBeatTick(d.state.m_length, d.state.m_meterMap) + L" "
            + CPositionText::Time(d.state.m_length, d.state.m_tempoMap, d.state.m_ppqn, d.state.m_usPerQuarter))
            .ToUtf8(),
        {} };
    EXPECT_TRUE(CTransport(d.state, nullptr, FALSE).Play());
    auto take = [&] {
        for (const Message& m : d.Take())
            played.sent.emplace_back(clock.Micros(), m);
        return TRUE;
    };
    CDrivenPlayer::Run(d.dialog, clock, take);
    take();
    return played;
}

}

// A file without a tempo plays at 120 beats a minute; one timed in SMPTE
// frames at its real time, a tempo event in it setting nothing: a second
// is 25 x 40 ticks, or 30 x 80 at 29.97 frames a second (1.001 s). Its
// bars count seconds, one beat each. SMPTE timing without ticks per frame
// is no timing: the file plays in quarter notes of the default division.
TEST(Timing, FilesPlayAtTheirRealTime)
{
    // The file's division, tempo and second note's tick; when that note goes
    // out, the tempo box, the length as bar.beat.tick and time.
    for (const auto& [division, tempo, tick, micros, bpm, length] :
        std::vector<std::tuple<int, long, unsigned long, LONGLONG, int, std::string>> {
            { 480, 0, 480, 500000, 120, "1.3.000 00:00:01,0" },
            { 0xE728, 0, 1000, 1000000, 60, "3.1.000 00:00:02,0" },
            { 0xE350, 250000, 2400, 1001000, 60, "3.1.000 00:00:02,0" },
            { 0xE700, 250000, 384, 250000, 240, "1.3.000 00:00:00,5" } }) {
        SCOPED_TRACE(division);
        const Played played = Play(WriteFile("timing-real.mid", division, tempo, tick));
        EXPECT_EQ(std::make_tuple(played.bpm, played.length), std::make_tuple(bpm, length));
        std::vector<std::pair<LONGLONG, Message>> notes;
        for (const auto& [at, message] : played.sent) {
            if (message[0] == 0x90)
                notes.emplace_back(at, message);
        }
        EXPECT_EQ(notes, (std::vector<std::pair<LONGLONG, Message>> { { 0, { 0x90, 60, 100 } }, { micros, { 0x90, 62, 100 } } }));
    }
}

// An RMID file plays exactly as the Standard MIDI File inside it.
TEST(Timing, AnRmidFilePlaysAsTheFileInsideIt)
{
    const std::string inner = WriteFile("timing-inner.mid", 96, 400000, 192);
    std::ifstream in(inner, std::ios::binary);
    const std::vector<BYTE> rmid = WrapRmid({ std::istreambuf_iterator<char>(in), {} });
    const std::string wrapped = std::string(TEST_BINARY_DIR) + "/timing-wrapped.rmi";
    std::ofstream(wrapped, std::ios::binary).write(reinterpret_cast<const char*>(rmid.data()), long(rmid.size()));
    const Played plain = Play(inner), fromRmid = Play(wrapped);
    ASSERT_EQ(plain.sent.size(), 5u) << "the start, the two notes, the all-off at the end";
    EXPECT_EQ(std::make_tuple(fromRmid.bpm, fromRmid.length, fromRmid.sent), std::make_tuple(plain.bpm, plain.length, plain.sent));
}
