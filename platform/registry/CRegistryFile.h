#pragma once

#include "platform/core/WinTypes.h"
#include "platform/registry/ConfigFile.h"

#include <string>
#include <vector>

// The contents of a registry file in the REGEDIT4 format: keys by full path
// (root name included) and their values with type and exact bytes. Values
// are always written as hex(type) lists, so nothing is lost to a text
// conversion; reading also accepts quoted strings, dword: and hex: lines.
class CRegistryFile {
public:
    struct Value {
        std::wstring name;
        DWORD type { 0 };
        std::vector<BYTE> data;
    };
    struct Key {
        std::wstring path;
        std::vector<Value> values;
    };

    // Files larger than this are refused unread.
    static constexpr size_t kMaxFileSize = 1024 * 1024;

    // Replaces the contents with the parsed text. On a damaged text the
    // contents are left empty and the result is false.
    bool Parse(const std::string& text);
    std::string Format() const;

    // Loaded: read and parsed. Missing: there is no file. Damaged: read, but
    // not a registry file (or too large to be one). Unreadable: the file is
    // there but cannot be read (no permission, an I/O error, not a regular
    // file); what it holds is unknown, so it must not be replaced.
    using LoadResult = ConfigRead;
    // Reads the file; anything but Loaded leaves the contents empty.
    LoadResult Load(const std::string& path);
    // Keeps a damaged file under a name of its own beside it, never over an
    // earlier copy; false when no copy could be made.
    static bool KeepDamagedCopy(const std::string& path);
    static constexpr int kMaxDamagedCopies = 1000;
    // Writes a temporary file beside the target, flushes it to the disk and
    // renames it over the target. Creates missing folders.
    bool Save(const std::string& path) const;

    // The same rules for any text file kept beside the settings: Load's
    // bounded read (Damaged: larger than kMaxFileSize), Save's replacement.
    static LoadResult ReadText(const std::string& path, std::string& text);
    static bool ReplaceText(const std::string& path, const std::string& text);

    // Keys and value names compare without regard to case.
    Key* FindKey(const std::wstring& path);
    const Key* FindKey(const std::wstring& path) const;
    // True when the key or any key below it is present.
    bool HasKeyOrChild(const std::wstring& path) const;
    Key& AddKey(const std::wstring& path);
    static Value* FindValue(Key& key, const std::wstring& name);
    static const Value* FindValue(const Key& key, const std::wstring& name);
    static void SetValue(Key& key, const std::wstring& name, DWORD type, std::vector<BYTE> data);

    std::vector<Key> m_keys;
};

// Case-insensitive comparison of registry names.
bool RegistryNamesEqual(const std::wstring& a, const std::wstring& b);
