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
//
// Create makes a modeless dialog instead: its window lives until
// DestroyWindow while the program goes on. Without a backend it is made
// headless, with its controls, and works the same, only unseen (posted
// messages wait for DispatchPostedMessages). Its close box sends WM_CLOSE,
// which cancels the dialog as IDCANCEL does; EndDialog (the default OnOK and
// OnCancel) hides a modeless dialog, so an owner that wants it gone
// overrides OnCancel to call DestroyWindow. The client area of a modeless
// dialog is a surface its WM_PAINT may draw on (controls lie above it); with
// WS_THICKFRAME the user sizes the window and WM_SIZE follows.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    virtual INT DoModal();
    // A modeless dialog on the template (see above). FALSE when the template
    // is missing or the dialog has a window already.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // The same on a template made at run time.
    BOOL CreateIndirect(const CDialogTemplate& dialogTemplate, CWnd* parent = nullptr);
    virtual BOOL OnInitDialog();
    // Ends the window: called when the modal loop is over, or by the owner
    // of a modeless dialog (also from one of its own handlers).
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
    // A check box's or radio button's state (BST_CHECKED, BST_UNCHECKED).
    UINT IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, UINT check);
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
    bool IsModeless() const { return m_modeless; }

    // WM_COMMAND IDOK and IDCANCEL go to OnOK and OnCancel, and so do
    // WM_CLOSE (IDCANCEL) and the keys Escape and Enter that no control
    // took. A modeless dialog's background is erased in the dialog colour.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The backend's modal loop: shows the dialog, runs until EndDialog, and
    // returns the result. Installed once by the window backend.
    using ModalRunner = std::function<INT(CDialog& dialog)>;
    static void SetModalRunner(ModalRunner runner);
    // The backend's window for a modeless dialog: makes its handle and its
    // controls (CreateHandle, CreateControls) and answers TRUE, hidden.
    using ModelessCreator = std::function<BOOL(CDialog& dialog, const CDialogTemplate& dialogTemplate)>;
    static void SetModelessCreator(ModelessCreator creator);

    // The data-exchange hook of the backend: moves values between the
    // dialog's controls and DDX members. See CDataExchange.
    void BeginModalState() { m_ending = false; m_result = 0; }

private:
    std::vector<std::unique_ptr<CDialogControl>> m_controls;
    bool m_ending { false };
    bool m_modeless { false };
    int m_result { 0 };
};
