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

// A value a control answers to one message and takes with another: in
// wParam (a negative one as -1), or in lParam after TRUE as TBM_SETPOS
// takes it.
void ExchangeByMessages(CDataExchange* dx, int id, int& value, UINT get, UINT set, bool inLParam = false)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(dialog->SendDlgItemMessage(id, get));
    else if (inLParam)
        dialog->SendDlgItemMessage(id, set, TRUE, value);
    else
        dialog->SendDlgItemMessage(id, set, static_cast<WPARAM>(value < 0 ? -1 : value));
}

void FailWithMessage(CDataExchange* dx, const CString& text)
{
    MessageBoxW(nullptr, text, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

// A number as decimal text: loading writes it, saving parses it or tells
// the user why not.
template<typename Number>
void ExchangeNumber(CDataExchange* dx, int id, Number& value, bool (*parse)(const CString&, Number&),
    const wchar_t* parseMessage)
{
    CDialog* dialog = Exchanging(dx, id);
    if (!dialog)
        return;
    CString text;
    if (!dx->m_bSaveAndValidate) {
        FormatString(text, L"%d", static_cast<int>(value));
        dialog->SetDlgItemText(id, text);
        return;
    }
    dialog->GetDlgItemText(id, text);
    Number parsed {};
    if (!parse(text, parsed))
        return FailWithMessage(dx, parseMessage);
    value = parsed;
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
    ExchangeNumber(dx, id, value, ParseByte, kParseByteMessage);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index)
{
    ExchangeByMessages(dx, id, index, CB_GETCURSEL, CB_SETCURSEL);
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    ExchangeNumber(dx, id, value, ParseInt, kParseIntMessage);
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
    ExchangeByMessages(dx, id, value, BM_GETCHECK, BM_SETCHECK);
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
    ExchangeByMessages(dx, id, value, TBM_GETPOS, TBM_SETPOS, true);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index)
{
    ExchangeByMessages(dx, id, index, LB_GETCURSEL, LB_SETCURSEL);
}
