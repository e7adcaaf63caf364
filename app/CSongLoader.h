#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <memory>

class CSongFile;

// Reads song files on a thread of its own, so that a large file does not
// hold the window. One file is read at a time; an open asked for meanwhile
// waits, and replaces any other that waited, so the last one asked for is
// the one that arrives. Each finished read is announced to the window by
// WM_COMMAND LOADED; Take hands it over.
class CSongLoader {
public:
    static constexpr WORD LOADED = 1008;

    CSongLoader();
    ~CSongLoader();
    CSongLoader(const CSongLoader&) = delete;
    CSongLoader& operator=(const CSongLoader&) = delete;

    // Reads path (name is what the title shows) into a song of its own;
    // smpteOffset as CSongFile takes it. FALSE when no thread could be
    // started for it: nothing is read then.
    BOOL Begin(HWND window, const CString& path, const CString& name, LONGLONG smpteOffset);
    // The read that finished: TRUE with the file (loaded, or holding why it
    // failed), its path and its name; FALSE when none waits.
    BOOL Take(std::unique_ptr<CSongFile>& file, CString& path, CString& name);
    // TRUE while a read runs or waits to run.
    BOOL Reading() const;

private:
    class CShared;
    static DWORD ReadThreadProc(LPVOID shared);

    // Shared with the reading thread, which may outlive the loader (a file
    // that takes long to read while the window closes).
    std::shared_ptr<CShared> m_shared;
};
