#pragma once

#include "platform/core/CString.h"

// The drum channel setting: a channel index 0..15 in memory, the 1-based
// channel as decimal text in the registry and in the settings dialog.

// Where the setting lives.
extern const wchar_t* const kSettingsKey;
extern const wchar_t* const kDrumChannelValue;

// The channel for a registry text: its leading decimal integer (0 when it
// does not start with one), low eight bits, minus one, low eight bits; values
// past 15 become 15. "10" gives 9, "0" and "17" give 15, "257" gives 0.
BYTE DrumChannelFromRegistryText(const CString& text);
// The channel for the 1-based number accepted by the settings dialog.
BYTE DrumChannelFromDialog(BYTE number);
// The 1-based number the settings dialog shows for a channel.
BYTE DrumChannelToDialog(BYTE channel);
// The registry text for a channel: the 1-based number in decimal.
CString DrumChannelToRegistryText(BYTE channel);

// Reads the setting; leaves channel unchanged when there is none.
BOOL LoadDrumChannel(BYTE& channel);
// Writes the setting, creating the key when needed.
BOOL SaveDrumChannel(BYTE channel);
