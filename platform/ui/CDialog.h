#pragma once

#include "platform/ui/CWnd.h"

#include <functional>
#include <memory>
#include <vector>

class CDataExchange;
class CDialogControl;
class CDialogTemplate;

// A dialog built on a template resource. DoModal hands the dialog to the
// modal runner the window backend installs; without one (no display, tests)
// the dialog cannot be shown and DoModal answers -1, as the framework does
// when a dialog cannot be created.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    virtual INT DoModal();
    virtual BOOL OnInitDialog();
    // Ends the window: called when the modal loop is over.
    virtual BOOL DestroyWindow();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();
    virtual void OnCancel();

    void EndDialog(int result);
    // TRUE when the exchange succeeded; a failed save leaves the dialog open.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The controls of the dialog's template, made when its window is.
    CWnd* GetDlgItem(int id) const;
    void SetDlgItemText(int id, LPCWSTR text);
    // Sends a message to a control; 0 when there is no such control.
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    int GetDlgItemText(int id, CString& text) const;
    // Moves the focus to a control (an edit gets its text selected by the
    // backend).
    void GotoDlgCtrl(CWnd* control);

    // Makes one control window for every item of the template; the factory
    // gives each its backend (null: headless). Used by the window backend.
    void CreateControls(const CDialogTemplate& dialogTemplate,
        const std::function<CWindowBackend*(CDialogControl&)>& backendFor);
    void DestroyControls();
    const std::vector<std::unique_ptr<CDialogControl>>& Controls() const { return m_controls; }

    bool IsEnding() const { return m_ending; }
    int Result() const { return m_result; }

    // WM_COMMAND IDOK and IDCANCEL go to OnOK and OnCancel.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The backend's modal loop: shows the dialog, runs until EndDialog, and
    // returns the result. Installed once by the window backend.
    using ModalRunner = std::function<INT(CDialog& dialog)>;
    static void SetModalRunner(ModalRunner runner);

    // The data-exchange hook of the backend: moves values between the
    // dialog's controls and DDX members. See CDataExchange.
    void BeginModalState() { m_ending = false; m_result = 0; }

private:
    std::vector<std::unique_ptr<CDialogControl>> m_controls;
    bool m_ending { false };
    int m_result { 0 };
};
