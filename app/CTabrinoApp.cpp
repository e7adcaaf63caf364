#include "app/CTabrinoApp.h"

#include "app/CTabrinoDlg.h"
#include "app/ZoomSetting.h"
#include "platform/core/FullPath.h"
#include "platform/ui/MediaSession.h"
#include "platform/ui/WindowZoom.h"

CTabrinoApp::CTabrinoApp()
    : CWinApp(nullptr)
{
}

BOOL CTabrinoApp::InitInstance()
{
    // One player window per user: while one runs, it takes the file and
    // comes to the front, and this start ends.
    if (!m_commandLine.m_newWindow && PassToRunningPlayer(CMediaControl::kPlayerInfo, m_commandLine.m_file))
        return FALSE;

    // A zoom given on the command line is remembered for the next start.
    int zoom = m_commandLine.m_zoom;
    if (zoom == 0)
        LoadZoom(zoom);
    SetWindowZoom(zoom);

    CTabrinoDlg dialog;
    dialog.m_nZoom = zoom;
    dialog.m_strPortOverride = m_commandLine.m_port;
    // The file is remembered, and handed on, by its full path.
    dialog.m_strStartFile = m_commandLine.m_file.IsEmpty() ? CString() : FullPathName(m_commandLine.m_file);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The dialog goes with this frame; nothing may point at it afterwards.
    m_pMainWnd = nullptr;
    return FALSE;
}
