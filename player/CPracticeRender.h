#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "player/CCountInSettings.h"
#include "player/CMetronomeSettings.h"
#include "player/CPracticeOptions.h"

#include <atomic>
#include <cstdint>
#include <functional>

// One practice track: a song rendered through the built-in synthesizer into
// a WAV file with the practice settings applied (tempo, transposition,
// mutes, solo, the mix, the metronome, the count-in). It runs on the calling thread with a
// player, an output stage and a clock of its own, as fast as the machine
// allows, so renders run side by side with each other and with playback.
// Another thread may follow the progress and ask for a stop.
class CPracticeRender {
public:
    struct Settings {
        // Mutes, solo and the mix (a loop is not taken: a render must end).
        CPracticeOptions practice;
        // The tempo box's beats per minute, 0 for the song's; or the exact
        // microseconds per quarter of the song's first tempo (0: none).
        std::int32_t bpm { 0 };
        LONGLONG usPerQuarter { 0 };
        std::int32_t transpose { 0 };
        BOOL metronome { FALSE };
        // The click's sound and loudness, for the metronome and the count-in.
        CMetronomeSettings click;
        // Bars of clicks before the song (a render has no loop to pass).
        CCountInSettings countIn;
        BYTE drumChannel { 9 };
        BOOL sendSysEx { TRUE };
        std::int32_t reset { 0 };
    };

    explicit CPracticeRender(const Settings& settings);

    // Renders the song into the WAV file. FALSE, with m_error set, when the
    // song cannot be read or holds nothing, the file cannot be written, or a
    // stop was asked for; what was written of the file is then removed.
    BOOL Run(const CString& songPath, const CString& wavPath);

    // Thousandths of the song rendered so far.
    std::atomic<std::int32_t> m_progress { 0 };
    std::atomic<BOOL> m_cancel { FALSE };
    // Called on the rendering thread each time m_progress changes.
    std::function<void(std::int32_t)> m_onProgress;
    // Why Run failed (for the user).
    CString m_error;

    // "NN-NAME-KIND.wav" for the practice track of a channel (0..15): the
    // channel from 1 in two digits, the name with anything but letters,
    // digits, "-" and "_" made "_" (never empty), then the kind.
    static CString PartFileName(int channel, const CString& name, const wchar_t* kind);

private:
    Settings m_settings;
};
