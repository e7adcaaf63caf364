#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CWnd;

// The application object. Exactly one exists, constructed before the
// program starts; the window backend's start-up calls InitInstance, and the
// program ends when it returns FALSE (or, after TRUE, when the backend's
// own loop ends).
class CWinApp : public CObject {
public:
    // A null name takes the program's title.
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    CWnd* m_pMainWnd { nullptr };
    LPCWSTR m_pszAppName { nullptr };
    // The command line as the program received it.
    int m_argc { 0 };
    char** m_argv { nullptr };

private:
    CString m_name;
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();
// The application's name; the program's title when there is no application
// object. Message boxes of the framework use it as their caption.
CString AfxGetAppName();
