#pragma once

#include "platform/ui/CDialog.h"
#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/ControlMessages.h"

#include <functional>
#include <map>
#include <vector>

// Answers every modal dialog while it lives, without showing one, as a user
// would: the dialog gets headless controls from its template and fills them
// (OnInitDialog); then each step of the script acts on the controls (types a
// number, picks an item) and presses OK. A step whose values the dialog
// refuses leaves it open for the next one; with no step left it is
// cancelled. Records each dialog's template and what its controls showed
// when it opened. For tests, on the GUI thread; no other modal runner may
// be installed meanwhile.
class CDialogScript {
public:
    using Step = std::function<void(CDialog&)>;
    struct Seen {
        UINT templateId;
        // The text of each edit control and the selection of each list, by
        // control id, as the dialog opened.
        std::map<int, CString> texts;
        std::map<int, int> selections;
    };

    explicit CDialogScript(std::vector<Step> steps)
        : m_steps(std::move(steps))
    {
        CDialog::SetModalRunner([this](CDialog& dialog) { return Run(dialog); });
    }
    ~CDialogScript() { CDialog::SetModalRunner(nullptr); }
    CDialogScript(const CDialogScript&) = delete;
    CDialogScript& operator=(const CDialogScript&) = delete;

    const std::vector<Seen>& Dialogs() const { return m_seen; }
    // Steps the dialogs have not taken.
    size_t StepsLeft() const { return m_steps.size() - m_next; }

private:
    INT Run(CDialog& dialog)
    {
        CDialogTemplate dialogTemplate;
        if (!dialogTemplate.Load(static_cast<int>(dialog.m_nIDTemplate)) || !dialog.CreateHeadless(400, 300))
            return -1;
        dialog.CreateControls(dialogTemplate, nullptr);
        dialog.OnInitDialog();
        Seen seen { dialog.m_nIDTemplate, {}, {} };
        for (const CDialogTemplate::Item& control : dialogTemplate.m_items) {
            if (control.className == L"EDIT")
                dialog.GetDlgItemText(control.id, seen.texts[control.id]);
            else if (control.className == L"COMBOBOX")
                seen.selections[control.id] = static_cast<int>(dialog.SendDlgItemMessage(control.id, CB_GETCURSEL));
        }
        m_seen.push_back(std::move(seen));
        while (!dialog.IsEnding() && m_next < m_steps.size()) {
            m_steps[m_next++](dialog);
            dialog.OnOK();
        }
        if (!dialog.IsEnding())
            dialog.OnCancel();
        const int result = dialog.Result();
        dialog.DestroyWindow();
        return result;
    }

    std::vector<Step> m_steps;
    size_t m_next { 0 };
    std::vector<Seen> m_seen;
};
