#pragma once

#include "platform/core/WinTypes.h"

// The settings that are whole numbers, in the registry beside the drum
// channel as decimal text with its zero byte: "Zoom", the zoom the user
// asked for last (--zoom or the menu), 1..4, without which the window takes
// the largest zoom that fits; "Volume", the master volume, 0..1000, without
// which it is full; "SendSysEx", 1 (the default) when the song's
// system-exclusive messages go out, 0 when not; "Reset", the reset message
// sent before every start and cut, 0..4 for none, GM, GM2, GS, XG
// (CSerialMidiOut::Reset).

// Read a setting; FALSE (the value unchanged) when there is none or it is
// out of its range.
BOOL LoadZoom(int& zoom);
BOOL SaveZoom(int zoom);
BOOL LoadVolume(int& volume);
BOOL SaveVolume(int volume);
BOOL LoadSendSysEx(int& on);
BOOL SaveSendSysEx(int on);
BOOL LoadReset(int& reset);
BOOL SaveReset(int reset);

// Any of them by its name: only plain decimal digits, at most five, within
// low..high.
BOOL LoadNumber(const wchar_t* name, int low, int high, int& value);
BOOL SaveNumber(const wchar_t* name, int value);
