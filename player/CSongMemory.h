#pragma once

#include "platform/registry/ConfigFile.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// The settings the user made for each song, filed under the hash of the
// song's bytes (ContentHash), the song opened most recently first. A song's
// record is a set of entries, each a name and its text (CSongSettings makes
// and reads them). The file is plain text, one section a song:
//
//     TabrinoCE song memory 1
//
//     [3f1c0a9e27d4b865]
//     Tempo=96
//     Transpose=-2
//
// Reading is linear in the file's size and bounded: a file larger than
// kMaxFileSize, a section or line that is not of this form, or a record
// with more than kMaxEntries entries or a text longer than kMaxText makes
// the file damaged; songs past kMaxSongs are dropped.
class CSongMemory {
public:
    static constexpr size_t kMaxSongs = 1000;
    static constexpr size_t kMaxEntries = 64;
    static constexpr size_t kMaxText = 4096;
    static constexpr size_t kMaxFileSize = 16 * 1024 * 1024;
    static const char* const kHeader;

    using Record = std::map<std::string, std::string>;

    // The contents from text; false (and nothing held) when it is damaged.
    bool Parse(const std::string& text);
    std::string Format() const;

    // Loaded: read and parsed. Missing: no file yet. Damaged: not a memory
    // file (or too large for one). Unreadable: there but not readable, so it
    // must not be replaced. Anything but Loaded leaves nothing held.
    using LoadResult = ConfigRead;
    LoadResult Load(const std::string& path);
    // Replaces the file atomically; false when it was left as it was.
    bool Save(const std::string& path) const;
    // Where the memory lives: beside the settings file, as song-memory.txt.
    static std::string FilePath();

    // The record of a song; null when none is kept.
    const Record* Find(std::uint64_t hash) const;
    // Keeps the record as the song's, the most recent; an empty record
    // forgets the song.
    void Put(std::uint64_t hash, Record record);
    // The song was opened again: it becomes the most recent.
    void Touch(std::uint64_t hash);
    void Remove(std::uint64_t hash);
    // Drops the least recently opened songs past kMaxSongs.
    void Trim();
    size_t Size() const { return m_songs.size(); }
    // The songs kept, the most recent first.
    std::vector<std::uint64_t> Songs() const;

    // A name the file can hold: letters and digits, at most 32 of them.
    static bool ValidName(const std::string& name);

private:
    using Song = std::pair<std::uint64_t, Record>;
    std::list<Song> m_songs;
    std::unordered_map<std::uint64_t, std::list<Song>::iterator> m_index;
};
