#include "app/CTabrinoApp.h"

#include "app/CTabrinoDlg.h"

CTabrinoApp::CTabrinoApp()
    : CWinApp(nullptr)
{
}

BOOL CTabrinoApp::InitInstance()
{
    CTabrinoDlg dialog;
    dialog.m_strPortOverride = m_commandLine.m_port;
    dialog.m_strStartFile = m_commandLine.m_file;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The dialog goes with this frame; nothing may point at it afterwards.
    m_pMainWnd = nullptr;
    return FALSE;
}
