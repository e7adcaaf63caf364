#include "app/NumberSettings.h"

#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "platform/core/FormatString.h"
#include "platform/ui/WindowZoom.h"

namespace {

const wchar_t* const kZoomValue = L"Zoom";
const wchar_t* const kVolumeValue = L"Volume";
const wchar_t* const kSendSysExValue = L"SendSysEx";
const wchar_t* const kResetValue = L"Reset";

}

BOOL LoadNumber(const wchar_t* name, int low, int high, int& value)
{
    CString text;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, name, text) || text.IsEmpty() || text.GetLength() > 5)
        return FALSE;
    int number = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return FALSE;
        number = number * 10 + (text[i] - L'0');
    }
    if (number < low || number > high)
        return FALSE;
    value = number;
    return TRUE;
}

BOOL SaveNumber(const wchar_t* name, int value)
{
    CString text;
    FormatString(text, L"%d", value);
    return WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, name, text);
}

BOOL LoadZoom(int& zoom)
{
    return LoadNumber(kZoomValue, kMinWindowZoom, kMaxWindowZoom, zoom);
}

BOOL SaveZoom(int zoom)
{
    return SaveNumber(kZoomValue, zoom);
}

BOOL LoadVolume(int& volume)
{
    return LoadNumber(kVolumeValue, 0, 1000, volume);
}

BOOL SaveVolume(int volume)
{
    return SaveNumber(kVolumeValue, volume);
}

BOOL LoadSendSysEx(int& on)
{
    return LoadNumber(kSendSysExValue, 0, 1, on);
}

BOOL SaveSendSysEx(int on)
{
    return SaveNumber(kSendSysExValue, on);
}

BOOL LoadReset(int& reset)
{
    return LoadNumber(kResetValue, 0, 4, reset);
}

BOOL SaveReset(int reset)
{
    return SaveNumber(kResetValue, reset);
}
