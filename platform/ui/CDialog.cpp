#include "platform/ui/CDialog.h"

#include "platform/ui/WindowHandle.h"

#include <mutex>

namespace {

std::mutex g_runnerLock;
CDialog::ModalRunner g_runner;

}

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDTemplate(templateId)
    , m_pParentWnd(parent)
{
}

CDialog::~CDialog() = default;

void CDialog::SetModalRunner(ModalRunner runner)
{
    std::lock_guard<std::mutex> guard(g_runnerLock);
    g_runner = std::move(runner);
}

INT CDialog::DoModal()
{
    ModalRunner runner;
    {
        std::lock_guard<std::mutex> guard(g_runnerLock);
        runner = g_runner;
    }
    if (!runner)
        return -1;
    BeginModalState();
    return runner(*this);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::DestroyWindow()
{
    DestroyHandle();
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ending = true;
}

BOOL CDialog::UpdateData(BOOL)
{
    // Without controls there is nothing to exchange; the backend's dialogs
    // with controls override this through CDataExchange.
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return 0;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
