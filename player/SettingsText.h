#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The text form of the practice values: "key=value" fields separated by
// spaces, as the settings file and a song's memory keep them. Reading is
// bounded: a text longer than MAX_TEXT is not taken, numbers outside their
// range are refused, keys that are not known are passed over (a newer
// version may have added them).
namespace SettingsText {

constexpr size_t MAX_TEXT = 4096;

// Calls field(key, value) for every field, in order; FALSE as soon as one
// returns FALSE, or when the text is too long or a field has no '='.
bool ForEachField(std::string_view text, const std::function<bool(std::string_view, std::string_view)>& field);

// A whole number within low..high that makes up the whole text.
bool ParseInt(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value);
bool ParseInt(std::string_view text, int low, int high, int& value);
bool ParseFlag(std::string_view text, bool& value);

}
