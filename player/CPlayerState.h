#pragma once

#include "midiout/COutputRules.h"
#include "platform/core/CEvent.h"
#include "platform/core/WinTypes.h"
#include "player/CChannelLevel.h"
#include "song/CMeterMap.h"
#include "song/CTempoMap.h"

#include <atomic>
#include <mutex>

class CMidiEvent;
class CSongFacts;
class CTrack;

// Play-state codes: requests from the dialog and answers of the player thread.
enum : std::int32_t {
    STATE_STOPPED = 0,
    STATE_PLAYING = 1,
    STATE_RESYNC = 2,
    STATE_START = 3,
    STATE_STOP = 4,
    // The player thread carries out a start or a re-synchronisation: it
    // sends what is in force before the clock runs. A request written
    // meanwhile cuts that short.
    STATE_REPLAYING = 5,
};

// The record the dialog and the player thread share. Every field both
// threads touch is atomic; m_clockLock makes each clock operation (the
// anchor, the thread's position sample, the tempo change) one step against
// the others. The clock counts microseconds of the performance counter. As
// the output stage's rules it gives the user's transposition, drum channel
// and mutes.
class CPlayerState : public COutputRules {
public:
    CPlayerState();
    ~CPlayerState() override;
    CPlayerState(const CPlayerState&) = delete;
    CPlayerState& operator=(const CPlayerState&) = delete;

    // Back to the defaults, but for m_drumChannel and m_smpteOffset; clears
    // the loader fields of every channel and leaves peaks and notes alone.
    void Reset();
    // Level bookkeeping of a dispatched channel message (player thread).
    void TrackNote(const CMidiEvent* event);
    void ClearNotes();
    // Whether the user muted the channel (0..15).
    BOOL IsMuted(int channel) const override;

    // Takes what the loader found in a newly loaded file: the division (and
    // SMPTE timing), the tempo, the SMPTE offset and each channel's links
    // (while stopped).
    void TakeFacts(const CSongFacts& facts);
    // Builds the tempo and meter maps of a newly loaded song (while
    // stopped) and sets the tempo box to its first tempo, rounded to whole
    // beats per minute and held within MIN_BPM..MAX_BPM. The clock keeps the
    // file's exact first tempo unless it had to be brought into that range.
    void AdoptSong(const CTrack* tracks);

    // The performance counter in microseconds.
    static LONGLONG Now();
    // Starts the clock: tick is the position at now.
    void AnchorClock(LONGLONG now, LONGLONG tick);
    // The same for the player thread, which took mark (ClockMark) when it
    // began the work that ends here: FALSE, and the clock left alone, when
    // the window stopped or moved the clock meanwhile.
    BOOL AnchorClock(LONGLONG now, LONGLONG tick, std::uint64_t mark);
    // Counts the window's stops and moves of the clock; with it the player
    // thread tells whether the window stepped in while it worked.
    std::uint64_t ClockMark();
    // The position a start begins at, with the mark it was read under.
    std::uint64_t StartPoint(LONGLONG& tick);
    void StopClock();
    // The window's stop: the clock stands at once where it is now (held at
    // the loop's end, as SampleClock does), while the player thread may
    // still be busy with the device.
    void FreezeClock(LONGLONG now);
    // The window's seek: the clock stands at tick, the next start begins
    // there.
    void MoveClock(LONGLONG tick);
    // Samples the running clock at now: sets m_lastTime and m_currentTick
    // and returns the position, the one before through previous. A clock
    // the window stopped stays where it stands.
    LONGLONG AdvanceClock(LONGLONG now, LONGLONG* previous);
    // The window's look at the running clock: sets m_currentTick to the
    // position at now, held at the loop's end while a loop is on (the
    // player thread turns there), and returns it. While the clock stands,
    // returns m_currentTick as it is.
    LONGLONG SampleClock(LONGLONG now);
    // Microseconds from now until the running clock reaches tick.
    LONGLONG MicrosUntil(LONGLONG tick, LONGLONG now);
    // Sets the tempo box (beats per minute, positive) and the user's tempo
    // that goes with it. A running clock is re-anchored at the current
    // position first, so the position does not jump.
    void SetTempo(std::int32_t bpm);

    // Wakes the player thread from its sleep: every request and every
    // change it must see at once signals it.
    void Wake() { m_wake.SetEvent(); }
    // The player thread's answer to a request, or the song's end: the play
    // state goes from request to answer unless a newer request replaced it.
    // Reaching STATE_STOPPED signals m_stopped.
    BOOL Answer(std::int32_t request, std::int32_t answer);
    // Waits until the player has stopped, at most milliseconds (INFINITE
    // for no limit); FALSE when it had not by then. For one waiter at a
    // time.
    BOOL WaitStopped(DWORD milliseconds);

    // The loop as one whole: the player thread never sees the start of one
    // loop with the end of another.
    struct Loop {
        LONGLONG start;
        LONGLONG end;
        bool on;
    };
    void SetLoop(LONGLONG start, LONGLONG end, BOOL on);
    Loop GetLoop();

    static constexpr std::int32_t MIN_BPM = 30;
    static constexpr std::int32_t MAX_BPM = 300;

    // Clock anchor (counter microseconds at which m_startTick was the
    // position) and the thread's last sample of the counter.
    std::atomic<LONGLONG> m_startTime { 0 };
    std::atomic<LONGLONG> m_lastTime { 0 };
    std::atomic<LONGLONG> m_startTick { 0 };
    std::atomic<LONGLONG> m_currentTick { 0 };
    std::atomic<LONGLONG> m_length { 0 };
    std::atomic<LONGLONG> m_loopStart { 0 };
    std::atomic<LONGLONG> m_loopEnd { 0 };
    std::atomic<LONGLONG> m_ppqn { 384 };
    // The user's tempo: microseconds per quarter note for the song's first
    // tempo; the tempo map is scaled by m_usPerQuarter / its first tempo.
    // Before any song, 90 beats per minute, which the face shows.
    std::atomic<LONGLONG> m_usPerQuarter { 666666 };
    LONGLONG m_smpteOffset { 0 };
    // Written only while stopped. For a song that counts ticks of SMPTE
    // frames, the length of a second of frames, for which m_ppqn ticks stand
    // as a quarter note: its tempo events set no speed and its bars and
    // beats count seconds. 0 for a song timed in quarter notes.
    LONGLONG m_smpteSecond { 0 };
    std::atomic<std::int32_t> m_bpm { 90 };
    std::atomic<std::int32_t> m_playState { STATE_STOPPED };
    std::atomic<LONGLONG> m_lastMeterTime { 0 };
    std::atomic<BOOL> m_loopEnabled { 0 };
    // Set by the transport's Play (a start or a resume, not a seek): the
    // player thread counts in and restarts the speed trainer for it.
    std::atomic<BOOL> m_freshStart { FALSE };
    // Channels just muted, one bit each, whose sounding notes the player
    // thread is to cut.
    std::atomic<std::uint32_t> m_cutChannels { 0 };
    CChannelLevel m_channels[16];
    // Written only while stopped (the open command); the player thread reads
    // the tempo map while the clock runs.
    CTempoMap m_tempoMap;
    CMeterMap m_meterMap;

    // Also makes the three loop fields one value (SetLoop, GetLoop).
    std::mutex m_clockLock;
    // The player thread waits on it between periods (auto-reset).
    CEvent m_wake;
    // Signalled (auto-reset) each time the play state reaches STATE_STOPPED.
    CEvent m_stopped;

private:
    // The position at now; m_clockLock is held.
    LONGLONG PositionAt(LONGLONG now) const;
    // AnchorClock and SampleClock with m_clockLock held.
    void AnchorLocked(LONGLONG now, LONGLONG tick);
    LONGLONG SampleLocked(LONGLONG now);

    // Guarded by m_clockLock: whether the anchor holds, and how often the
    // window stopped or moved the clock.
    bool m_clockRunning { false };
    std::uint64_t m_clockMoves { 0 };
};
