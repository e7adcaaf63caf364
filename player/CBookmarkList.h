#pragma once

#include "platform/core/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

// The user's own places in a song: a tick and a name (UTF-8), kept in the
// order of the song, one per tick.
class CBookmarkList {
public:
    static constexpr size_t MAX_BOOKMARKS = 100;
    static constexpr size_t MAX_NAME = 64;
    static constexpr LONGLONG MAX_TICK = 1000000000000LL;

    struct Bookmark {
        LONGLONG tick;
        std::string name;
        bool operator==(const Bookmark&) const = default;
    };

    // Adds a bookmark (the name cut to MAX_NAME bytes on a character
    // boundary); one already at that tick is renamed. FALSE when the list is
    // full or the tick lies outside 0..MAX_TICK.
    bool Add(LONGLONG tick, std::string_view name);
    bool Remove(size_t index);
    void Clear() { m_items.clear(); }
    const std::vector<Bookmark>& Items() const { return m_items; }

    // "TICK=NAME" fields separated by spaces, the name with '%', '=', space
    // and control characters written as %XX.
    std::string ToText() const;
    // FALSE, and the list left as it was, for a text that is not one.
    bool FromText(std::string_view text);
    bool operator==(const CBookmarkList&) const = default;

private:
    std::vector<Bookmark> m_items;
};
