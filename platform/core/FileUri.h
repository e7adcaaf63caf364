#pragma once

#include "platform/core/CString.h"

#include <string>

// File URIs, as desktops pass them in drops, launchers and D-Bus calls.

// The local path a file URI names ("file:///tmp/a%20b.mid"), by its bytes
// (percent escapes of any byte, host "" or "localhost"); FALSE for any
// other URI.
BOOL PathFromFileUri(const std::string& uri, CString& path);
// The file URI of a local path (taken from the working folder when it is
// not absolute), every byte but the unreserved ones escaped.
std::string FileUriFromPath(const CString& path);
// A file argument of a program: a file URI ("file:///path/song.mid", as a
// desktop launcher passes it) is taken as the path it names; anything else
// is a path as it stands.
CString FileArgument(const std::string& arg);
