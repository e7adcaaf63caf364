#include "platform/ui/CWinApp.h"

namespace {

const wchar_t* const kProgramTitle = L"TabrinoCE";
CWinApp* g_app = nullptr;

}

CWinApp::CWinApp(LPCWSTR appName)
    : m_name(appName ? appName : kProgramTitle)
{
    m_pszAppName = m_name;
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CString AfxGetAppName()
{
    return g_app ? CString(g_app->m_pszAppName) : CString(kProgramTitle);
}
