#include "platform/ui/CDialog.h"

#include "platform/ui/CDataExchange.h"
#include "platform/ui/CDialogControl.h"
#include "platform/ui/CWindowBackend.h"
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

CDialog::~CDialog()
{
    DestroyControls();
}

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
    DestroyControls();
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
    // The backend's modal loop looks at the ending when it wakes.
    if (IsWindow(m_hWnd) && m_hWnd->backend)
        m_hWnd->backend->Wake();
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    if (dx.Failed()) {
        if (CWnd* control = GetDlgItem(dx.m_idLastControl))
            GotoDlgCtrl(control);
        return FALSE;
    }
    return TRUE;
}

CWnd* CDialog::GetDlgItem(int id) const
{
    for (const auto& control : m_controls) {
        if (control->GetDlgCtrlID() == id && control->m_hWnd)
            return control.get();
    }
    return nullptr;
}

void CDialog::SetDlgItemText(int id, LPCWSTR text)
{
    if (CWnd* control = GetDlgItem(id))
        control->SetWindowText(text);
}

LRESULT CDialog::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    CWnd* control = GetDlgItem(id);
    return control ? control->SendMessage(message, wParam, lParam) : 0;
}

int CDialog::GetDlgItemText(int id, CString& text) const
{
    CWnd* control = GetDlgItem(id);
    text = control ? control->GetWindowText() : CString();
    return text.GetLength();
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    if (control)
        control->SetFocus();
}

void CDialog::CreateControls(const CDialogTemplate& dialogTemplate,
    const std::function<CWindowBackend*(CDialogControl&)>& backendFor)
{
    DestroyControls();
    for (const CDialogTemplate::Item& item : dialogTemplate.m_items) {
        auto control = std::make_unique<CDialogControl>(item);
        CWindowBackend* backend = backendFor ? backendFor(*control) : nullptr;
        if (!control->CreateHandle(0, 0, backend))
            continue;
        control->SetWindowText(item.text);
        m_controls.push_back(std::move(control));
    }
}

void CDialog::DestroyControls()
{
    for (auto& control : m_controls)
        control->DestroyHandle();
    m_controls.clear();
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
