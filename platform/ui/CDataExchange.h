#pragma once

#include "platform/core/WinTypes.h"

class CDialog;

// Moves values between a dialog's members and its controls. Saving
// (m_bSaveAndValidate) reads and checks the controls; a check that fails
// tells the user, marks the exchange failed and leaves the members and the
// controls as they were. Later exchanges of a failed pass do nothing.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate)
        , m_pDlgWnd(dialog)
    {
    }

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
    // The control of the exchange in progress; it gets the focus on failure.
    int m_idLastControl { 0 };

    void PrepareEditCtrl(int id) { m_idLastControl = id; }
    void Fail() { m_bFailed = true; }
    bool Failed() const { return m_bFailed; }

private:
    bool m_bFailed { false };
};

// The message shown when the text of an unsigned byte field does not parse.
extern const wchar_t* const kParseByteMessage;

// An unsigned byte as decimal text: loading writes the number, saving
// accepts 0..255 with optional surrounding blanks and otherwise shows
// kParseByteMessage and fails.
void DDX_Text(CDataExchange* dx, int id, BYTE& value);

// The selected index of a combo box: loading selects it (an index past the
// list selects nothing), saving reads it back (-1 when nothing is selected).
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
