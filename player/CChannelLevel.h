#pragma once

#include "platform/core/WinTypes.h"
#include "player/CSoundingNote.h"

#include <atomic>
#include <mutex>

class CMidiEvent;

// Level and note bookkeeping of one MIDI channel. The player thread adds and
// removes sounding notes; the meter refresh on the user-interface thread
// reads and ages them. m_lock guards m_peak and the note ring, and is held
// only for the few steps of one operation.
class CChannelLevel {
public:
    CChannelLevel();
    virtual ~CChannelLevel();
    CChannelLevel(const CChannelLevel&) = delete;
    CChannelLevel& operator=(const CChannelLevel&) = delete;

    // Note Off and Note On events of this channel (player thread).
    void NoteEvent(const CMidiEvent* event);
    void AddNote(int key, int velocity);
    void RemoveNote(int key);
    void ClearNotes();
    // The level since the last call, -10000 (silence) .. 0 (full), always
    // -10000 while muted; ages the sounding notes by one step
    // (user-interface thread).
    std::int32_t TakeLevel();

    // Level of a note value 1..127 on the -10000..0 scale.
    static std::int32_t LevelOf(std::int32_t value) { return value * 10000 / 127 - 10000; }

    // Written by the loader only.
    BOOL m_used { 0 };
    // Set by the user: Note Ons of velocity 16 and up are not sent.
    std::atomic<BOOL> m_muted { 0 };
    CMidiEvent* m_nameEvent { nullptr };
    CMidiEvent* m_instrumentEvent { nullptr };
    CMidiEvent* m_programEvent { nullptr };
    CMidiEvent* m_volumeEvent { nullptr };
    // Guarded by m_lock.
    std::int32_t m_peak { -10000 };
    CSoundingNote* m_notes { nullptr };

    std::mutex m_lock;
};
