#pragma once

#include "midiout/CMixerValues.h"

class CSerialMidiOut;
class CPlayerState;

// The mixer as the user-interface thread changes it: each change is kept
// and handed to the output stage, which the player thread tells the device
// of in its next period (woken for it). Mute and solo are the practice
// tools' (CPractice), the same the meters show.
class CMixer {
public:
    CMixer(CSerialMidiOut& output, CPlayerState& state);

    const CMixerValues& Values() const { return m_values; }
    // The whole mix at once (a song's remembered one).
    void Set(const CMixerValues& values);
    // A new song: every channel as in the song; the emphasis level stays.
    void Reset();
    // Percent of the channel's own volume, held within 0..100.
    void SetVolume(int channel, int percent);
    // 0..127, or CMixerValues::PAN_AS_SONG.
    void SetPan(int channel, int pan);
    // One click each: the same again ends it (see CMixerValues).
    void Emphasize(int channel);
    void MinusOne(int channel);
    // The level the others keep during an emphasis, held within 0..100.
    void SetEmphasisLevel(int percent);

private:
    void Publish();

    CSerialMidiOut& m_output;
    CPlayerState& m_state;
    CMixerValues m_values;
};
