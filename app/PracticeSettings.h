#pragma once

#include "platform/core/WinTypes.h"

struct CCountInSettings;
struct CMetronomeSettings;
struct CSpeedTrainerSettings;

// The practice settings in the registry beside the others, each as its text
// form: "CountIn" (bars=1 pass=0), "Metronome" (volume=80 sound=claves
// eighths=0) and "SpeedTrainer" (on=1 from=70 to=100 step=5 passes=2).
// Loading a value that is missing or not one leaves the setting as it was
// (FALSE).
BOOL LoadCountInSetting(CCountInSettings& settings);
BOOL SaveCountInSetting(const CCountInSettings& settings);
BOOL LoadMetronomeSetting(CMetronomeSettings& settings);
BOOL SaveMetronomeSetting(const CMetronomeSettings& settings);
BOOL LoadSpeedTrainerSetting(CSpeedTrainerSettings& settings);
BOOL SaveSpeedTrainerSetting(const CSpeedTrainerSettings& settings);
