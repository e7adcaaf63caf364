#include "app/ZoomSetting.h"

#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "platform/core/FormatString.h"
#include "platform/ui/WindowZoom.h"

namespace {

const wchar_t* const kZoomValue = L"Zoom";

}

BOOL LoadZoom(int& zoom)
{
    CString text;
    if (!ReadRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kZoomValue, text) || text.GetLength() != 1)
        return FALSE;
    const int value = text[0] - L'0';
    if (value < kMinWindowZoom || value > kMaxWindowZoom)
        return FALSE;
    zoom = value;
    return TRUE;
}

BOOL SaveZoom(int zoom)
{
    CString text;
    FormatString(text, L"%d", zoom);
    return WriteRegString(HKEY_LOCAL_MACHINE, kSettingsKey, kZoomValue, text);
}
