#include "app/CTabrinoApp.h"

#include "app/CTabrinoDlg.h"
#include "app/NumberSettings.h"
#include "platform/core/FullPath.h"
#include "platform/ui/MediaSession.h"
#include "platform/ui/WindowZoom.h"

#include <cstdio>

CTabrinoApp::CTabrinoApp()
    : CWinApp(nullptr)
{
}

BOOL CTabrinoApp::InitInstance()
{
    // One player window per user: while one runs, it takes the file and
    // comes to the front, and this start ends. The name on the session bus
    // is taken before the window shows, so of several starts at once one
    // shows a window.
    if (!m_commandLine.m_newWindow) {
        std::vector<CString> files;
        for (const CString& file : m_commandLine.m_files)
            files.push_back(FullPathName(file));
        switch (ClaimMediaPlayer(CMediaControl::kPlayerInfo, files)) {
        case MEDIA_HANDED_OVER:
            // What only a window of its own would have used is said, not
            // silently dropped.
            if (const std::string ignored = m_commandLine.WindowOptionsGiven(); !ignored.empty())
                std::fprintf(stderr, "tabrino: %s to the player window that runs already; %s not applied\n",
                    files.empty() ? "handed over" : files.size() == 1 ? "the file went" : "the files went", ignored.c_str());
            return FALSE;
        case MEDIA_NO_SESSION:
            std::fprintf(stderr, "tabrino: no session bus: this window runs on its own (no media keys, and "
                                 "later starts open windows of their own)\n");
            break;
        case MEDIA_NOT_ANSWERED:
            std::fprintf(stderr, "tabrino: the player window that runs does not answer: this window runs on its own\n");
            break;
        default:
            break;
        }
    }

    // A zoom given on the command line is remembered for the next start.
    int zoom = m_commandLine.m_zoom;
    if (zoom == 0)
        LoadZoom(zoom);
    SetWindowZoom(zoom);

    CTabrinoDlg dialog;
    dialog.m_nZoom = zoom;
    dialog.m_strPortOverride = m_commandLine.m_port;
    dialog.m_nSendSysExOverride = m_commandLine.m_noSysEx ? 0 : -1;
    dialog.m_nResetOverride = m_commandLine.m_reset;
    dialog.m_strSoundFontOverride = m_commandLine.m_soundFont;
    // The files are remembered, and handed on, by their full paths.
    for (const CString& file : m_commandLine.m_files)
        dialog.m_startFiles.push_back(FullPathName(file));
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The dialog goes with this frame; nothing may point at it afterwards.
    m_pMainWnd = nullptr;
    return FALSE;
}
