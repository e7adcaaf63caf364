#pragma once

#include "platform/core/WinTypes.h"

#include <memory>
#include <string>

class CAlsaLibrary;
struct snd_midi_event;
struct snd_seq_event;

// Turns a MIDI byte stream into sequencer events with alsa-lib's own MIDI
// event encoder: one event for each complete message.
class CSeqEncoder {
public:
    CSeqEncoder();
    ~CSeqEncoder();
    CSeqEncoder(const CSeqEncoder&) = delete;
    CSeqEncoder& operator=(const CSeqEncoder&) = delete;

    // FALSE when the encoder could not be made (no ALSA library, no memory).
    bool Ok() const { return m_encoder != nullptr; }
    // TRUE when the byte completes a message; Event() then holds it.
    bool Feed(BYTE byte);
    snd_seq_event& Event() { return *m_event; }
    // The last event in words: "noteon 0 60 100" (channel, key, velocity),
    // "controller 9 7 100", "pgmchange 0 19", "pitchbend 1 -8192", "sysex 6"
    // (its length) and so on.
    std::string Describe() const;

private:
    const CAlsaLibrary* m_alsa;
    snd_midi_event* m_encoder { nullptr };
    std::unique_ptr<snd_seq_event> m_event;
};
