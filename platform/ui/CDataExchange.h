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

// The messages shown when the text of a number field does not parse, and
// when a number lies outside its range (DDV_MinMaxInt, with the bounds).
extern const wchar_t* const kParseByteMessage;
extern const wchar_t* const kParseIntMessage;
extern const wchar_t* const kIntRangeMessage;

// An unsigned byte as decimal text: loading writes the number, saving
// accepts 0..255 with optional surrounding blanks and otherwise shows
// kParseByteMessage and fails.
void DDX_Text(CDataExchange* dx, int id, BYTE& value);

// The selected index of a combo box: loading selects it (an index past the
// list selects nothing), saving reads it back (-1 when nothing is selected).
void DDX_CBIndex(CDataExchange* dx, int id, int& index);

// A signed decimal number: loading writes it, saving accepts an optional
// sign and digits within int, with optional surrounding blanks, and
// otherwise shows kParseIntMessage and fails.
void DDX_Text(CDataExchange* dx, int id, int& value);
// After a saving exchange of the value: outside min..max it shows
// kIntRangeMessage and fails (the control of the exchange gets the focus).
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);

// A check box's state, BST_UNCHECKED or BST_CHECKED.
void DDX_Check(CDataExchange* dx, int id, int& value);
// The radio button checked in the group that starts at id, counted from 0
// in template order: loading checks it (and clears the others), saving
// reads it back, -1 when none is checked.
void DDX_Radio(CDataExchange* dx, int id, int& value);
// A trackbar's position, kept inside its range on loading.
void DDX_Slider(CDataExchange* dx, int id, int& value);
// The selected item of a list box, -1 for none.
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
