#include "platform/ui/CDataExchange.h"

#include "platform/core/FormatString.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CWinApp.h"

const wchar_t* const kParseByteMessage = L"Please enter an integer between 0 and 255.";

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
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
    if (!dx || dx->Failed() || !dx->m_pDlgWnd)
        return;
    dx->PrepareEditCtrl(id);
    CDialog* dialog = dx->m_pDlgWnd;
    if (!dialog->GetDlgItem(id)) {
        dx->Fail();
        return;
    }
    if (!dx->m_bSaveAndValidate) {
        CString text;
        FormatString(text, L"%u", static_cast<unsigned>(value));
        dialog->SetDlgItemText(id, text);
        return;
    }
    CString text;
    dialog->GetDlgItemText(id, text);
    BYTE parsed = 0;
    if (!ParseByte(text, parsed)) {
        MessageBoxW(nullptr, kParseByteMessage, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
        return;
    }
    value = parsed;
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index)
{
    if (!dx || dx->Failed() || !dx->m_pDlgWnd)
        return;
    dx->m_idLastControl = id;
    CDialog* dialog = dx->m_pDlgWnd;
    if (!dialog->GetDlgItem(id)) {
        dx->Fail();
        return;
    }
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(dialog->SendDlgItemMessage(id, CB_GETCURSEL));
    else
        dialog->SendDlgItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index));
}
