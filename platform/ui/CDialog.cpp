#include "platform/ui/CDialog.h"

#include "platform/ui/CDataExchange.h"
#include "platform/ui/CDialogControl.h"
#include "platform/ui/CWindowBackend.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/SysColor.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowPlacement.h"
#include "platform/gdi/CDC.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex g_runnerLock;
CDialog::ModalRunner g_runner;
CDialog::ModelessCreator g_creator;

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

void CDialog::SetModelessCreator(ModelessCreator creator)
{
    std::lock_guard<std::mutex> guard(g_runnerLock);
    g_creator = std::move(creator);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    CDialogTemplate dialogTemplate;
    if (m_hWnd || !dialogTemplate.Load(static_cast<int>(templateId)))
        return FALSE;
    m_nIDTemplate = templateId;
    return CreateIndirect(dialogTemplate, parent);
}

BOOL CDialog::CreateIndirect(const CDialogTemplate& dialogTemplate, CWnd* parent)
{
    if (m_hWnd)
        return FALSE;
    ModelessCreator creator;
    {
        std::lock_guard<std::mutex> guard(g_runnerLock);
        creator = g_creator;
    }
    m_pParentWnd = parent;
    m_modeless = true;
    BeginModalState();
    if (creator) {
        if (!creator(*this, dialogTemplate)) {
            DestroyControls();
            DestroyHandle();
            return FALSE;
        }
    } else {
        CreateHandle(dialogTemplate.m_width * kPixelsPerDialogUnit, dialogTemplate.m_height * kPixelsPerDialogUnit,
            nullptr);
        CreateControls(dialogTemplate, nullptr);
        SetWindowText(dialogTemplate.m_caption);
        InvalidateRect(nullptr, TRUE);
    }
    if (OnInitDialog()) {
        for (const auto& control : m_controls) {
            if (control->Item().HasStyle("WS_TABSTOP") && control->IsWindowEnabled()) {
                GotoDlgCtrl(control.get());
                break;
            }
        }
    }
    const auto& styles = dialogTemplate.m_styles;
    if (IsWindow(m_hWnd) && std::find(styles.begin(), styles.end(), "WS_VISIBLE") != styles.end())
        ShowWindow(SW_SHOW);
    return IsWindow(m_hWnd);
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
    m_modeless = false;
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
    // A modeless dialog has no loop to end: it is hidden.
    if (m_modeless) {
        ShowWindow(SW_HIDE);
        return;
    }
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

UINT CDialog::IsDlgButtonChecked(int id) const
{
    return static_cast<UINT>(SendDlgItemMessage(id, BM_GETCHECK));
}

void CDialog::CheckDlgButton(int id, UINT check)
{
    SendDlgItemMessage(id, BM_SETCHECK, check);
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
        std::unique_ptr<CDialogControl> control = CDialogControl::Make(item);
        CWindowBackend* backend = backendFor ? backendFor(*control) : nullptr;
        RECT rect { item.x, item.y, item.x + item.width, item.y + item.height };
        MapDialogRect(m_hWnd, &rect);
        // Only a control the dialog draws keeps pixels of its own.
        const bool drawn = item.HasStyle("SS_OWNERDRAW");
        if (!control->CreateHandle(drawn ? rect.right - rect.left : 0, drawn ? rect.bottom - rect.top : 0, backend))
            continue;
        HWND hwnd = control->m_hWnd;
        hwnd->parent = m_hWnd;
        hwnd->rect = rect;
        hwnd->sizedSurface = drawn;
        hwnd->visible = item.HasStyle("WS_VISIBLE");
        hwnd->enabled = !item.HasStyle("WS_DISABLED");
        control->SetWindowText(item.text);
        if (drawn)
            control->InvalidateRect(nullptr, TRUE);
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
    switch (message) {
    case WM_CLOSE:
        return WindowProc(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    case WM_KEYDOWN:
        // A key held down acts once.
        if ((wParam == VK_ESCAPE || wParam == VK_RETURN) && !(lParam & KF_REPEAT_BIT))
            return WindowProc(WM_COMMAND, MAKEWPARAM(wParam == VK_ESCAPE ? IDCANCEL : IDOK, 0), 0);
        break;
    case WM_ERASEBKGND: {
        // A modal dialog shows either widgets alone or a face that erases
        // itself; a modeless one shows its surface under its controls.
        CDC dc;
        if (!m_modeless || !dc.Attach(reinterpret_cast<HDC>(wParam)))
            return FALSE;
        // Only the part about to be painted: the rest keeps its pixels.
        RECT area;
        GetClientRect(&area);
        if (m_hWnd->needsPaint)
            area = m_hWnd->invalid;
        dc.FillSolidRect(&area, GetSysColor(COLOR_BTNFACE));
        dc.Detach();
        return TRUE;
    }
    case WM_VKEYTOITEM:
        // The list's own action.
        return -1;
    default:
        break;
    }
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
