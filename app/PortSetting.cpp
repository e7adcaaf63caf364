#include "app/PortSetting.h"

#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "platform/core/CodePage.h"

const wchar_t* const kPortValue = L"Port";

BOOL LoadPortSetting(CString& port)
{
    CString text;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kPortValue, text) || text.IsEmpty())
        return FALSE;
    port = text;
    return TRUE;
}

BOOL SavePortSetting(const CString& port)
{
    if (port.IsEmpty())
        return FALSE;
    std::string bytes(static_cast<size_t>(port.GetLength()), '\0');
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, port, port.GetLength(), bytes.data(), port.GetLength(), nullptr, &lossy);
    if (lossy)
        return FALSE;
    return WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kPortValue, port);
}
