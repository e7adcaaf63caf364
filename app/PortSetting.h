#pragma once

#include "platform/core/CString.h"

// The port setting: value "PortName" beside the drum channel, the port's
// name by its bytes (any characters, as a path has them) with a zero byte,
// read at start-up and written at close. Settings from before it hold the
// value "Port", single-byte text in the ANSI code page, which is read when
// there is no "PortName" and removed when it is written.
extern const wchar_t* const kPortValue;
extern const wchar_t* const kOldPortValue;

// The SoundFont setting: value "SoundFont", the path of the built-in
// synthesizer's SoundFont by its bytes with a zero byte; none while the
// user never chose one (the synthesizer's default holds).
extern const wchar_t* const kSoundFontValue;

// Reads the setting; FALSE (and port unchanged) when there is none or it
// is empty.
BOOL LoadPortSetting(CString& port);
BOOL SavePortSetting(const CString& port);
BOOL LoadSoundFontSetting(CString& path);
BOOL SaveSoundFontSetting(const CString& path);
