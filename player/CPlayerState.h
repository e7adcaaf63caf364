#pragma once

#include "platform/core/WinTypes.h"
#include "player/CChannelLevel.h"

#include <atomic>
#include <mutex>

class CMidiEvent;

// Play-state codes: requests from the dialog and answers of the player thread.
enum : std::int32_t {
    STATE_STOPPED = 0,
    STATE_PLAYING = 1,
    STATE_RESYNC = 2,
    STATE_START = 3,
    STATE_STOP = 4,
};

// The record the dialog and the player thread share. Every field both
// threads touch is atomic; m_clockLock makes the tempo re-anchoring
// (m_usPerQuarter with m_startTime) one step against the thread's position
// computation (m_lastTime with m_currentTick).
class CPlayerState {
public:
    CPlayerState();
    virtual ~CPlayerState();
    CPlayerState(const CPlayerState&) = delete;
    CPlayerState& operator=(const CPlayerState&) = delete;

    // Back to the defaults, but for m_drumChannel and m_smpteOffset; clears
    // the loader fields of every channel and leaves peaks and notes alone.
    void Reset();
    // Level bookkeeping of a dispatched channel message (player thread).
    void TrackNote(const CMidiEvent* event);
    void ClearNotes();

    // Clock operations; each is one step against the others (m_clockLock).
    // Anchors the clock: m_startTick is the position at tick count now.
    void AnchorClock(DWORD now);
    // Anchors the clock at now with tick as the position (the loop jump).
    void JumpClock(DWORD now, LONGLONG tick);
    // Samples the clock at now: sets m_lastTime and m_currentTick and
    // returns the position before the update through previous.
    LONGLONG AdvanceClock(DWORD now, LONGLONG* previous);
    // Sets the tempo in beats per minute (and the matching microseconds per
    // quarter note) and moves the anchor so that the position computed at
    // m_lastTime stays m_currentTick. bpm must be positive.
    void SetTempo(std::int32_t bpm);
    // The song position after elapsed milliseconds from the anchor.
    static LONGLONG TicksAfter(LONGLONG startTick, LONGLONG elapsed, LONGLONG ppqn, LONGLONG usPerQuarter);

    std::atomic<LONGLONG> m_startTime { 0 };
    std::atomic<LONGLONG> m_lastTime { 0 };
    std::atomic<LONGLONG> m_startTick { 0 };
    std::atomic<LONGLONG> m_currentTick { 0 };
    std::atomic<LONGLONG> m_length { 0 };
    std::atomic<LONGLONG> m_loopStart { 0 };
    std::atomic<LONGLONG> m_loopEnd { 0 };
    std::atomic<LONGLONG> m_ppqn { 384 };
    std::atomic<LONGLONG> m_usPerQuarter { 666666 };
    LONGLONG m_smpteOffset { 0 };
    std::atomic<std::int32_t> m_transpose { 0 };
    std::atomic<std::int32_t> m_bpm { 90 };
    std::atomic<std::int32_t> m_playState { STATE_STOPPED };
    std::atomic<LONGLONG> m_lastMeterTime { 0 };
    std::atomic<BOOL> m_loopEnabled { 0 };
    std::atomic<BYTE> m_drumChannel { 9 };
    CChannelLevel m_channels[16];

    std::mutex m_clockLock;
};
