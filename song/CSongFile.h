#pragma once

#include "platform/core/CString.h"
#include "song/CSongFacts.h"

#include <memory>

class CSong;
class CTrack;

// One Standard MIDI File read from disk into a song of its own, apart from
// the song the player holds, so that a file is read and checked whole
// before anything of the playing song is touched. The object owns the rings
// it holds and frees them when it goes.
class CSongFile {
public:
    // Larger files are refused unread: the song model takes up to some
    // fifteen times a file's size in memory.
    static constexpr LONGLONG kMaxFileSize = 64LL * 1024 * 1024;
    static const wchar_t* const kTooLarge;
    static const wchar_t* const kNoMemory;

    // smpteOffset is kept when the file sets none of its own.
    explicit CSongFile(LONGLONG smpteOffset = 0);
    ~CSongFile();
    CSongFile(const CSongFile&) = delete;
    CSongFile& operator=(const CSongFile&) = delete;

    // Reads and parses the file. FALSE when it cannot be read, is too large,
    // is damaged or does not fit in memory: Failure() says why, and the
    // rings hold whatever was built before the fault.
    BOOL Load(const CString& path);
    const CString& Failure() const { return m_failure; }
    // What the user is told about a failed load: the reason, then the file.
    CString FailureMessage(const CString& path) const;

    // Exchanges this song with the rings given; the object then holds the
    // previous song, and m_facts still what the loader found in this file
    // (for the player state's TakeFacts).
    void Exchange(CSong*& songs, CTrack*& tracks);
    // Frees the song the object holds.
    void Free();

    CSong* m_pSongs { nullptr };
    CTrack* m_pTracks { nullptr };
    // What the loader found besides the tracks.
    CSongFacts m_facts;

private:
    BOOL Parse(std::shared_ptr<const BYTE[]> bytes, size_t size);

    CString m_failure;
};
