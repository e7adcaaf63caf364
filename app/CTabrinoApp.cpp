#include "app/CTabrinoApp.h"

#include "app/CTabrinoDlg.h"
#include "app/ZoomSetting.h"
#include "platform/ui/WindowZoom.h"

CTabrinoApp::CTabrinoApp()
    : CWinApp(nullptr)
{
}

BOOL CTabrinoApp::InitInstance()
{
    // A zoom given on the command line is remembered for the next start.
    int zoom = m_commandLine.m_zoom;
    if (zoom == 0)
        LoadZoom(zoom);
    SetWindowZoom(zoom);

    CTabrinoDlg dialog;
    dialog.m_nZoom = zoom;
    dialog.m_strPort = m_commandLine.m_port;
    dialog.m_strStartFile = m_commandLine.m_file;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The dialog goes with this frame; nothing may point at it afterwards.
    m_pMainWnd = nullptr;
    return FALSE;
}
