#pragma once

#include "platform/core/CString.h"

#include <cstdint>
#include <random>
#include <vector>

// The songs to play one after another, and which comes next: the order
// given or a shuffled one, repeated or not. The window and tabrino-play
// both follow one; neither the files nor the player are touched here.
class CPlaylist {
public:
    enum Repeat { REPEAT_OFF, REPEAT_ONE, REPEAT_ALL };

    struct Entry {
        CString path;
        // What the list shows: the song's title once it was read, else
        // empty (the file's name shows).
        CString title;
        // The song's length at its own tempo; -1 while unknown.
        LONGLONG micros { -1 };
        // The file was missing or could not be read: it is skipped.
        bool failed { false };
    };

    // A new list in the given order; the first song (in shuffle, a random
    // one) is the current one. -1 while the list is empty.
    void Assign(const std::vector<CString>& paths);
    // Adds songs at the end; in shuffle each goes to a random place among
    // the songs still to come in this round.
    void Add(const std::vector<CString>& paths);
    void Remove(int index);
    // Moves the song at from to the place to (the list's order).
    void Move(int from, int to);

    int Current() const { return m_current; }
    // The current song's place in the order of play (0 for the first of a
    // round); -1 before any.
    int Position() const { return m_position; }
    // Makes index the current song (a double-click, a song opened from the
    // list); shuffle goes on from it.
    void SetCurrent(int index);
    // The song after the current one: at a song's end (automatic) repeat
    // one gives the same song again; asked for by the user it goes on. At
    // the end of the order repeat all starts a new round (newly shuffled),
    // otherwise there is none (-1). Songs marked failed are passed over.
    int NextIndex(bool automatic);
    int PreviousIndex() const;
    // Moves to the song NextIndex gave (a new round starts here).
    void Advance(int index);
    bool HasNext() const;
    bool HasPrevious() const { return PreviousIndex() >= 0; }

    Repeat GetRepeat() const { return m_repeat; }
    void SetRepeat(Repeat repeat) { m_repeat = repeat; }
    bool Shuffle() const { return m_shuffle; }
    // Shuffle on: the songs not played in this round come in a random
    // order after the current one. Off: the list's order from the current.
    void SetShuffle(bool shuffle);
    void Seed(std::uint32_t seed) { m_random.seed(seed); }

    const std::vector<Entry>& Entries() const { return m_entries; }
    std::vector<Entry>& Entries() { return m_entries; }
    int Size() const { return static_cast<int>(m_entries.size()); }
    // Whether any song may still play (not every one failed).
    bool AnyPlayable() const;

private:
    // The next playable place in the order after position, -1 for none.
    int NextPlayable(int position) const;
    int PreviousPlayable(int position) const;
    // The order after an edit: identity without shuffle; with it, what was
    // played keeps its places and the rest comes shuffled.
    void Reorder(const std::vector<int>& oldToNew);
    void ShuffleFrom(int position);

    std::vector<Entry> m_entries;
    // The order of play (indices into m_entries) and the current place in it.
    std::vector<int> m_order;
    int m_position { -1 };
    int m_current { -1 };
    Repeat m_repeat { REPEAT_OFF };
    bool m_shuffle { false };
    std::mt19937 m_random { std::random_device {}() };
};
