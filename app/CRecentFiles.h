#pragma once

#include "platform/core/CString.h"

#include <vector>

// The songs opened last, most recent first, at most kMaxFiles, each once.
// They live in the registry beside the drum channel as the values "Recent1"
// to "Recent8", each the path's bytes (any bytes the file system uses) with
// a terminating zero byte. The folder of the most recent one is where the
// open dialog starts. Another window may save its list meanwhile: a save
// puts the files opened here in front of the list as it is stored then.
class CRecentFiles {
public:
    static constexpr size_t kMaxFiles = 8;

    // Reads the list; an entry that is missing or empty is left out.
    void Load();
    // Writes the files opened since Load in front of the stored list,
    // creating the key when needed, and removes the values the list no
    // longer fills. FALSE when a value could not be written.
    BOOL Save() const;

    // Puts path first, moving it up when it is already in the list, and
    // drops the oldest past kMaxFiles.
    void Add(const CString& path);
    const std::vector<CString>& Files() const { return m_files; }
    // The folder of the most recent file; empty when there is none.
    CString LastFolder() const;

private:
    std::vector<CString> m_files;
    // The files opened since Load, most recent first.
    std::vector<CString> m_opened;
};
