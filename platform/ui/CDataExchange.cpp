#include "platform/ui/CDataExchange.h"

#include "platform/core/FormatString.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/CButtonControl.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CWinApp.h"
#include "platform/ui/ControlMessages.h"

#include <climits>

const wchar_t* const kParseByteMessage = L"Please enter an integer between 0 and 255.";
const wchar_t* const kParseIntMessage = L"Please enter an integer.";
const wchar_t* const kIntRangeMessage = L"Please enter an integer between %d and %d.";

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// The dialog of an exchange that goes on with the control id, or null when
// the pass failed already or the control is missing (which fails it).
CDialog* Exchanging(CDataExchange* dx, int id)
{
    if (!dx || dx->Failed() || !dx->m_pDlgWnd)
        return nullptr;
    dx->m_idLastControl = id;
    if (!dx->m_pDlgWnd->GetDlgItem(id)) {
        dx->Fail();
        return nullptr;
    }
    return dx->m_pDlgWnd;
}

void FailWithMessage(CDataExchange* dx, const CString& text)
{
    MessageBoxW(nullptr, text, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

// Decimal digits with an optional sign and blanks around them, within int.
bool ParseInt(const CString& text, int& value)
{
    const std::wstring& s = text.Str();
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    const bool negative = i < s.size() && s[i] == L'-';
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+'))
        ++i;
    const size_t digits = i;
    long long n = 0;
    while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') {
        n = n * 10 + (s[i] - L'0');
        if (n > static_cast<long long>(INT_MAX) + 1)
            return false;
        ++i;
    }
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    if (i == digits || i != s.size())
        return false;
    n = negative ? -n : n;
    if (n > INT_MAX)
        return false;
    value = static_cast<int>(n);
    return true;
}

// Decimal digits with optional blanks around them, no sign, at most 255.
bool ParseByte(const CString& text, BYTE& value)
{
    const std::wstring& s = text.Str();
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    size_t digits = i;
    unsigned n = 0;
    while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') {
        n = n * 10 + static_cast<unsigned>(s[i] - L'0');
        if (n > 255)
            return false;
        ++i;
    }
    if (i == digits)
        return false;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    if (i != s.size())
        return false;
    value = static_cast<BYTE>(n);
    return true;
}

}

void DDX_Text(CDataExchange* dx, int id, BYTE& value)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    if (!dx->m_bSaveAndValidate) {
        CString text;
        FormatString(text, L"%u", static_cast<unsigned>(value));
        dialog->SetDlgItemText(id, text);
        return;
    }
    CString text;
    dialog->GetDlgItemText(id, text);
    BYTE parsed = 0;
    if (!ParseByte(text, parsed))
        return FailWithMessage(dx, kParseByteMessage);
    value = parsed;
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(dialog->SendDlgItemMessage(id, CB_GETCURSEL));
    else
        dialog->SendDlgItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index));
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    CString text;
    if (!dx->m_bSaveAndValidate) {
        FormatString(text, L"%d", value);
        dialog->SetDlgItemText(id, text);
        return;
    }
    dialog->GetDlgItemText(id, text);
    int parsed = 0;
    if (!ParseInt(text, parsed))
        return FailWithMessage(dx, kParseIntMessage);
    value = parsed;
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max)
{
    if (!dx || dx->Failed() || !dx->m_bSaveAndValidate || (value >= min && value <= max))
        return;
    CString text;
    FormatString(text, kIntRangeMessage, min, max);
    FailWithMessage(dx, text);
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(dialog->IsDlgButtonChecked(id));
    else
        dialog->CheckDlgButton(id, static_cast<UINT>(value));
}

void DDX_Radio(CDataExchange* dx, int id, int& value)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    auto* first = dynamic_cast<CButtonControl*>(dialog->GetDlgItem(id));
    const std::vector<CButtonControl*> group = first ? first->RadioGroup() : std::vector<CButtonControl*>();
    if (dx->m_bSaveAndValidate)
        value = -1;
    for (size_t n = 0; n < group.size(); ++n) {
        if (!dx->m_bSaveAndValidate)
            group[n]->SendMessage(BM_SETCHECK, static_cast<int>(n) == value ? BST_CHECKED : BST_UNCHECKED);
        else if (group[n]->Check() == BST_CHECKED && value < 0)
            value = static_cast<int>(n);
    }
}

void DDX_Slider(CDataExchange* dx, int id, int& value)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(dialog->SendDlgItemMessage(id, TBM_GETPOS));
    else
        dialog->SendDlgItemMessage(id, TBM_SETPOS, TRUE, value);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(dialog->SendDlgItemMessage(id, LB_GETCURSEL));
    else
        dialog->SendDlgItemMessage(id, LB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index));
}
