#pragma once

#include "platform/core/WinTypes.h"
#include "player/CSongMemory.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CSongSettings;

// A window's part in the song memory (CSongMemory): it restores what is
// remembered for each song it opens and notes what the user changes. A
// song opened and left alone leaves no record. What this window changed is
// written when the next song is opened, when a song is forgotten and when
// the window closes, always into the file as it is then, under a lock
// between processes: another window (--new-window) may have written it
// meanwhile, and only the entries this window changed replace that one's.
// A damaged file is kept aside as song-memory.txt.damaged and the user is
// told; a file that cannot be read is left alone (and told once).
class CRememberedSongs {
public:
    // path: the memory file; empty for CSongMemory::FilePath() as it is at
    // each use.
    explicit CRememberedSongs(std::string path = std::string());

    // The song in place with its own settings (a new song resets them):
    // writes what was noted for earlier songs, then restores this one's
    // record. TRUE when a record was applied.
    BOOL SongOpened(std::uint64_t hash, CSongSettings& settings);
    // Notes what the user changed on the song in place since it opened (or
    // since the last note); to be called while its settings are in place.
    void NoteChanges(const CSongSettings& settings);
    // The song in place goes (another opens, or the window closes): notes
    // its changes, and gives the settings the window carries from song to
    // song (the count-in, the trainer) back the values they had before this
    // song's memory set them, unless the user changed them since.
    void LeaveSong(CSongSettings& settings);
    // Drops the song's record at once and puts the song back to its own
    // settings, as a first open gives them.
    void Forget(CSongSettings& settings);
    // Writes what was noted. FALSE when it could not be written (it stays
    // noted for the next write).
    BOOL Write();

    // Whether the song in place came with a remembered record.
    BOOL Remembered() const { return m_remembered; }
    BOOL HasSong() const { return m_hasSong; }

private:
    struct Pending {
        BOOL forget { FALSE };
        // A text to keep, or none to drop the entry.
        std::map<std::string, std::optional<std::string>> changes;
    };
    // Reads the file for a merge; FALSE when it must not be written.
    BOOL ReadForWrite(CSongMemory& memory, BOOL& damaged);
    void Tell(const std::wstring& text);
    std::string Path() const;

    std::string m_path;
    BOOL m_hasSong { FALSE };
    BOOL m_remembered { FALSE };
    std::uint64_t m_hash { 0 };
    // The song's own settings, and its settings as last restored or noted.
    CSongMemory::Record m_defaults;
    CSongMemory::Record m_baseline;
    // The settings as the song's record left them.
    CSongMemory::Record m_restored;
    // The songs opened here since the last write, the latest last, with
    // what was changed on them.
    std::vector<std::uint64_t> m_opened;
    std::map<std::uint64_t, Pending> m_pending;
    BOOL m_toldUnreadable { FALSE };
};
