// tabrino: the player window.

#include "app/CTabrinoApp.h"
#include "platform/comm/CPortList.h"
#include "platform/comm/Comm.h"
#include "platform/core/Console.h"
#include "platform/ui/qt/QtBackend.h"

#include <cstdio>

CTabrinoApp theApp;

int main(int argc, char** argv)
{
    // SIGINT, SIGTERM and SIGHUP close the window as its close box does (the
    // song stops, the port closes, the settings are saved); the program then
    // ends with 128 + the signal's number.
    InstallInterruptHandler();
    // The command line is settled before the window system is touched, so
    // --help and a mistyped option work without a display.
    CCommandLine& commandLine = theApp.m_commandLine;
    switch (commandLine.Parse(argc, argv)) {
    case CCommandLine::HELP:
        std::fputs(CCommandLine::Usage(), stdout);
        return 0;
    case CCommandLine::VERSION:
        std::printf("tabrino %s\n", TABRINO_VERSION);
        return 0;
    case CCommandLine::LIST_PORTS:
        std::fputs(CPortList::Scan(true).Text().c_str(), stdout);
        return 0;
    case CCommandLine::FAULT:
        std::fprintf(stderr, "tabrino: %s\n\n%s", commandLine.m_error.c_str(), CCommandLine::Usage());
        return 2;
    case CCommandLine::RUN:
        break;
    }
    if (!commandLine.m_soundFont.IsEmpty())
        SetSynthSoundFont(commandLine.m_soundFont);
    // Qt takes only its own arguments out; ours were read above.
    return RunApplication(argc, argv, "tabrino: no display; use tabrino-play for playback without a window");
}
