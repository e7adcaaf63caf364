#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The files the program keeps its settings in, all in one folder:
// $XDG_CONFIG_HOME/TabrinoCE (~/.config/TabrinoCE when the variable is unset
// or not an absolute path). Reads are bounded; writes replace a file
// atomically, so a crash never leaves half a file.

std::string ConfigFolderPath();

// Loaded: read whole and taken by the parser. Missing: there is no file.
// Damaged: larger than the limit, or refused by the parser. Unreadable:
// there but not readable (no permission, an I/O error, not a regular file),
// so it must not be replaced.
enum class ConfigRead { Loaded, Missing, Damaged, Unreadable };
// Reads the file whole, up to maxSize bytes, and hands it to parse, which
// returns whether it holds what it should.
ConfigRead ReadConfigFile(const std::string& path, size_t maxSize, const std::function<bool(const std::string&)>& parse);

// Writes a temporary file beside the target, flushes it to the disk and
// renames it over the target; creates missing folders. False when the target
// was left as it was.
bool ReplaceConfigFile(const std::string& path, const std::string& text);
