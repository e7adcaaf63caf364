#pragma once

#include "app/CCommandLine.h"
#include "platform/ui/CWinApp.h"

// The application object: runs the main dialog modally and ends the
// program when it closes.
class CTabrinoApp : public CWinApp {
public:
    CTabrinoApp();

    BOOL InitInstance() override;

    // What the command line asked for (filled in by main before start-up).
    CCommandLine m_commandLine;
};
