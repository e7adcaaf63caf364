#pragma once

#include "platform/core/CObject.h"
#include "platform/core/WinTypes.h"

// A file opened for reading, as MFC's CFile offers it: open, seek, read,
// close. Only regular files open; a directory or a device does not.
class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        shareDenyNone = 0x0040,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT {
        begin = 0,
        current = 1,
        end = 2,
    };

    CFile() = default;
    ~CFile() override;

    // FALSE with the reason in GetLastError when the file cannot be opened.
    BOOL Open(LPCWSTR path, UINT flags);
    // Returns the new position, or -1 when the seek failed.
    LONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    LONGLONG SeekToEnd() { return Seek(0, end); }
    // Reads up to count bytes; returns how many were read. A read error
    // leaves its reason in GetLastError.
    UINT Read(void* buffer, UINT count);
    void Close();
    // Deletes a file; FALSE with the reason in GetLastError.
    static BOOL Remove(LPCWSTR path);

private:
    int m_fd { -1 };
};

// Creates a folder (its parent must exist); FALSE with the system's error
// in GetLastError (ERROR_ALREADY_EXISTS when something of that name is there).
BOOL CreateDirectoryW(LPCWSTR path, void* security);
