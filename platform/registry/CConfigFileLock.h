#pragma once

#include <string>

// Holds an exclusive lock on a settings file between processes (two windows
// of the program, say) while one of them reads, merges and replaces it, so
// that neither writes over what the other has just written. The lock lives
// in a file of its own beside the target (target + ".lock") and goes with
// the object, or with the process.
class CConfigFileLock {
public:
    // Waits up to waitMilliseconds for the lock. Locked() tells whether it
    // was had: a folder that cannot hold the lock file (read-only) or a
    // holder that does not let go leaves the caller to go on without it.
    explicit CConfigFileLock(const std::string& target, unsigned waitMilliseconds = 2000);
    ~CConfigFileLock();
    CConfigFileLock(const CConfigFileLock&) = delete;
    CConfigFileLock& operator=(const CConfigFileLock&) = delete;

    bool Locked() const { return m_locked; }

private:
    int m_fd { -1 };
    bool m_locked { false };
};
