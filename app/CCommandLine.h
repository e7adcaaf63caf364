#pragma once

#include "platform/core/CString.h"

#include <string>
#include <vector>

// The player's command line: tabrino [--port NAME] [--soundfont PATH]
// [--no-sysex] [--reset NAME] [--zoom N] [--new-window] [FILE...], --help, --version and --list-ports. Parsing only
// records what was asked; the program applies it.
class CCommandLine {
public:
    enum Action {
        RUN, // open the window
        HELP, // print Usage() and end with status 0
        VERSION, // print the version and end with status 0
        LIST_PORTS, // print the ports (CPortList) and end with status 0
        FAULT, // print m_error and Usage() on the error stream, end with status 2
    };

    Action Parse(int argc, const char* const* argv);

    static const char* Usage();
    // The options given that only a window of this start would use (--port,
    // --soundfont, --no-sysex, --reset, --zoom), as a phrase: "--port was", "--port and --zoom
    // were"; empty when none was given.
    std::string WindowOptionsGiven() const;

    // The port named with --port; empty when none was named.
    CString m_port;
    CString m_soundFont;
    // 1..4, or 0 for the largest zoom that fits the screen.
    int m_zoom { 0 };
    // The files (or folders) to open at start-up as the playlist; none for
    // the playlist kept from the last run.
    std::vector<CString> m_files;
    // --no-sysex: the song's system-exclusive messages stay unsent.
    bool m_noSysEx { false };
    // --reset: the reset for this run (CSerialMidiOut::Reset), -1 when not
    // given.
    int m_reset { -1 };
    // A window of its own, even while another player window runs.
    bool m_newWindow { false };
    // Why the command line was refused.
    std::string m_error;
};
