#include "app/PracticeSettings.h"

#include "app/DrumChannel.h"
#include "app/RegistryText.h"
#include "player/CCountInSettings.h"
#include "player/CMetronomeSettings.h"
#include "player/CSpeedTrainerSettings.h"

namespace {

constexpr DWORD kTextBufferSize = 1024;

template <typename Value> BOOL LoadText(const wchar_t* name, Value& value)
{
    std::string bytes;
    if (!ReadRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, name, bytes, kTextBufferSize))
        return FALSE;
    return value.FromText(bytes) ? TRUE : FALSE;
}

template <typename Value> BOOL SaveText(const wchar_t* name, const Value& value)
{
    return WriteRegBytes(HKEY_LOCAL_MACHINE, kSettingsKey, name, value.ToText());
}

}

BOOL LoadCountInSetting(CCountInSettings& settings)
{
    return LoadText(L"CountIn", settings);
}

BOOL SaveCountInSetting(const CCountInSettings& settings)
{
    return SaveText(L"CountIn", settings);
}

BOOL LoadMetronomeSetting(CMetronomeSettings& settings)
{
    return LoadText(L"Metronome", settings);
}

BOOL SaveMetronomeSetting(const CMetronomeSettings& settings)
{
    return SaveText(L"Metronome", settings);
}

BOOL LoadSpeedTrainerSetting(CSpeedTrainerSettings& settings)
{
    return LoadText(L"SpeedTrainer", settings);
}

BOOL SaveSpeedTrainerSetting(const CSpeedTrainerSettings& settings)
{
    return SaveText(L"SpeedTrainer", settings);
}
