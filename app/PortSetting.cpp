#include "app/PortSetting.h"

#include "app/DrumChannel.h"
#include "app/RegistryText.h"

const wchar_t* const kPortValue = L"PortName";
const wchar_t* const kOldPortValue = L"Port";
const wchar_t* const kSoundFontValue = L"SoundFont";

namespace {

// Port names are paths at most (a device, capture:FILE, synth:FILE.wav).
constexpr DWORD kNameBufferSize = 4097;

}

BOOL LoadPortSetting(CString& port)
{
    std::string bytes;
    CString text;
    if (ReadRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, kPortValue, bytes, kNameBufferSize) && !bytes.empty())
        text = CString::FromUtf8(bytes);
    else if (!ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kOldPortValue, text))
        return FALSE;
    if (text.IsEmpty())
        return FALSE;
    port = text;
    return TRUE;
}

BOOL LoadSoundFontSetting(CString& path)
{
    std::string bytes;
    if (!ReadRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, kSoundFontValue, bytes, kNameBufferSize) || bytes.empty())
        return FALSE;
    path = CString::FromUtf8(bytes);
    return TRUE;
}

BOOL SaveSoundFontSetting(const CString& path)
{
    return !path.IsEmpty() && WriteRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, kSoundFontValue, path.ToUtf8());
}

BOOL SavePortSetting(const CString& port)
{
    if (port.IsEmpty() || !WriteRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, kPortValue, port.ToUtf8()))
        return FALSE;
    return DeleteRegValue(HKEY_LOCAL_MACHINE, kSettingsKey, kOldPortValue);
}
