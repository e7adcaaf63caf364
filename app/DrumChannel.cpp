#include "app/DrumChannel.h"

#include "app/RegistryText.h"
#include "platform/core/FormatString.h"

const wchar_t* const kSettingsKey = L"Software\\TabrinoCE";
const wchar_t* const kDrumChannelValue = L"DrumChannel";

namespace {

// The leading integer as the C runtime's wide conversion reads it: optional
// white space and sign, then decimal digits. Overflow saturates at the
// limits of a 32-bit long, as the conversion does.
LONG LeadingInteger(const CString& text)
{
    const std::wstring& s = text.Str();
    size_t i = 0;
    while (i < s.size() && (s[i] == L' ' || (s[i] >= L'\t' && s[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
        negative = s[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) {
        value = value * 10 + (s[i] - L'0');
        if (value > 0x80000000LL)
            value = 0x80000000LL;
    }
    if (negative)
        return static_cast<LONG>(-value);
    return value > 0x7FFFFFFFLL ? 0x7FFFFFFF : static_cast<LONG>(value);
}

BYTE Clamp(BYTE channel)
{
    return channel > 15 ? 15 : channel;
}

}

BYTE DrumChannelFromRegistryText(const CString& text)
{
    BYTE n = static_cast<BYTE>(LeadingInteger(text));
    return Clamp(static_cast<BYTE>(n - 1));
}

BYTE DrumChannelFromDialog(BYTE number)
{
    return Clamp(static_cast<BYTE>(number - 1));
}

BYTE DrumChannelToDialog(BYTE channel)
{
    return static_cast<BYTE>(channel + 1);
}

CString DrumChannelToRegistryText(BYTE channel)
{
    CString text;
    FormatString(text, L"%d", channel + 1);
    return text;
}

BOOL LoadDrumChannel(BYTE& channel)
{
    CString text;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kDrumChannelValue, text))
        return FALSE;
    channel = DrumChannelFromRegistryText(text);
    return TRUE;
}

BOOL SaveDrumChannel(BYTE channel)
{
    return WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kDrumChannelValue, DrumChannelToRegistryText(channel));
}
