#pragma once

#include "platform/core/CString.h"

#include <vector>

// The ports --port accepts on this machine, one routine for the programs'
// --list-ports and for the settings dialog's port chooser.
class CPortList {
public:
    struct Entry {
        // What --port takes.
        CString name;
        CString description;
        // A form to complete with a file name (capture:FILE, synth:FILE.wav)
        // rather than a port to choose as it is.
        bool needsFile { false };
    };

    // Looks at what exists now: the synthesizer, the sequencer's
    // destinations, raw MIDI devices and serial devices, then "none" and
    // the file forms. probeSound also tries whether the synthesizer's sound
    // output opens, which takes a moment.
    static CPortList Scan(bool probeSound);

    std::vector<Entry> m_entries;
    // Why a kind of port is missing (no sequencer on this machine).
    std::vector<CString> m_notes;

    // One line a port, the name first and its description after it, then
    // each note as a line starting with '#'.
    std::string Text() const;

    // The help lines of --port, --list-ports and --soundfont, which every
    // program of the player takes alike.
    static const char* OutputOptions();
};
