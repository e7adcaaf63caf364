#pragma once

#include "platform/core/CString.h"

// The port setting: value "Port" beside the drum channel, the port's name
// as single-byte text, read at start-up and written at close.
extern const wchar_t* const kPortValue;

// Reads the setting; FALSE (and port unchanged) when there is none or it
// is empty.
BOOL LoadPortSetting(CString& port);
// Writes the setting. A name the single-byte text cannot hold is not
// written (it would come back as another name); FALSE then.
BOOL SavePortSetting(const CString& port);
