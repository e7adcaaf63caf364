#pragma once

#include "platform/core/CString.h"

#include <vector>

// The songs opened last, most recent first, at most kMaxFiles, each once.
// They live in the registry beside the drum channel as the values "Recent1"
// to "Recent8", each the path's bytes (any bytes the file system uses) with
// a terminating zero byte. The folder of the most recent one is where the
// open dialog starts.
class CRecentFiles {
public:
    static constexpr size_t kMaxFiles = 8;

    // Reads the list; an entry that is missing or empty is left out.
    void Load();
    // Writes the list, creating the key when needed. FALSE when a value
    // could not be written.
    BOOL Save() const;

    // Puts path first, moving it up when it is already in the list, and
    // drops the oldest past kMaxFiles.
    void Add(const CString& path);
    const std::vector<CString>& Files() const { return m_files; }
    // The folder of the most recent file; empty when there is none.
    CString LastFolder() const;

private:
    std::vector<CString> m_files;
};
