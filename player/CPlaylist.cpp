#include "player/CPlaylist.h"

#include <algorithm>
#include <numeric>

void CPlaylist::Assign(const std::vector<CString>& paths)
{
    m_entries.clear();
    for (const CString& path : paths)
        m_entries.push_back(Entry { path, CString(), -1, false });
    m_order.resize(m_entries.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    m_position = m_entries.empty() ? -1 : 0;
    if (m_shuffle)
        ShuffleFrom(0);
    m_current = m_position < 0 ? -1 : m_order[static_cast<size_t>(m_position)];
}

void CPlaylist::Add(const std::vector<CString>& paths)
{
    const bool wasEmpty = m_entries.empty();
    std::vector<int> same(m_entries.size());
    std::iota(same.begin(), same.end(), 0);
    for (const CString& path : paths)
        m_entries.push_back(Entry { path, CString(), -1, false });
    Reorder(same);
    if (wasEmpty && !m_entries.empty()) {
        m_position = 0;
        m_current = m_order[0];
    }
}

void CPlaylist::Remove(int index)
{
    if (index < 0 || index >= Size())
        return;
    std::vector<int> oldToNew(m_entries.size());
    for (int i = 0; i < Size(); ++i)
        oldToNew[static_cast<size_t>(i)] = i < index ? i : i == index ? -1 : i - 1;
    m_entries.erase(m_entries.begin() + index);
    Reorder(oldToNew);
}

void CPlaylist::Move(int from, int to)
{
    if (from < 0 || from >= Size() || to < 0 || to >= Size() || from == to)
        return;
    std::vector<int> places(m_entries.size());
    std::iota(places.begin(), places.end(), 0);
    places.erase(places.begin() + from);
    places.insert(places.begin() + to, from);
    std::vector<int> oldToNew(m_entries.size());
    std::vector<Entry> moved;
    for (int i = 0; i < Size(); ++i) {
        oldToNew[static_cast<size_t>(places[static_cast<size_t>(i)])] = i;
        moved.push_back(std::move(m_entries[static_cast<size_t>(places[static_cast<size_t>(i)])]));
    }
    m_entries = std::move(moved);
    Reorder(oldToNew);
}

void CPlaylist::Reorder(const std::vector<int>& oldToNew)
{
    // The order is rebuilt from the entries that remain: the current song
    // stays current, or (removed) the one after it in the old order
    // becomes the place to go on from.
    std::vector<int> played;
    std::vector<int> coming;
    int current = -1;
    for (size_t place = 0; place < m_order.size(); ++place) {
        const int old = m_order[place];
        const int now = old < static_cast<int>(oldToNew.size()) ? oldToNew[static_cast<size_t>(old)] : -1;
        if (now < 0)
            continue;
        if (static_cast<int>(place) < m_position)
            played.push_back(now);
        else if (static_cast<int>(place) == m_position)
            current = now;
        else
            coming.push_back(now);
    }
    // Songs new to the list (at indices no old one maps to) join those to come.
    std::vector<bool> seen(m_entries.size());
    for (int index : oldToNew) {
        if (index >= 0)
            seen[static_cast<size_t>(index)] = true;
    }
    for (int i = 0; i < Size(); ++i) {
        if (!seen[static_cast<size_t>(i)])
            coming.push_back(i);
    }
    if (!m_shuffle) {
        m_order.resize(m_entries.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        m_current = current;
        if (current < 0 && m_position >= 0) {
            // The current song went: nothing is current until the user
            // chooses, and next goes on with the one after it.
            const int after = coming.empty() ? Size() : *std::min_element(coming.begin(), coming.end());
            m_position = after - 1;
            return;
        }
        m_position = current;
        return;
    }
    m_order = played;
    if (current >= 0)
        m_order.push_back(current);
    const size_t rest = m_order.size();
    m_order.insert(m_order.end(), coming.begin(), coming.end());
    std::shuffle(m_order.begin() + static_cast<std::ptrdiff_t>(rest), m_order.end(), m_random);
    m_current = current;
    m_position = current >= 0 ? static_cast<int>(rest) - 1 : static_cast<int>(played.size()) - 1;
}

void CPlaylist::ShuffleFrom(int position)
{
    if (position < 0 || position >= static_cast<int>(m_order.size()))
        return;
    std::shuffle(m_order.begin() + position, m_order.end(), m_random);
}

void CPlaylist::SetCurrent(int index)
{
    if (index < 0 || index >= Size())
        return;
    const auto place = std::find(m_order.begin(), m_order.end(), index);
    if (m_shuffle) {
        // The chosen song goes next to the ones played in this round.
        const auto next = m_order.begin() + (m_position + 1);
        if (place >= next) {
            std::iter_swap(place, next);
            m_position += 1;
        } else {
            m_position = static_cast<int>(place - m_order.begin());
        }
    } else {
        m_position = static_cast<int>(place - m_order.begin());
    }
    m_current = index;
}

bool CPlaylist::AnyPlayable() const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [](const Entry& e) { return !e.failed; });
}

int CPlaylist::NextPlayable(int position) const
{
    for (int place = position + 1; place < static_cast<int>(m_order.size()); ++place) {
        if (!m_entries[static_cast<size_t>(m_order[static_cast<size_t>(place)])].failed)
            return place;
    }
    return -1;
}

int CPlaylist::PreviousPlayable(int position) const
{
    for (int place = std::min(position, static_cast<int>(m_order.size())) - 1; place >= 0; --place) {
        if (!m_entries[static_cast<size_t>(m_order[static_cast<size_t>(place)])].failed)
            return place;
    }
    return -1;
}

int CPlaylist::NextIndex(bool automatic)
{
    if (automatic && m_repeat == REPEAT_ONE && m_current >= 0 && !m_entries[static_cast<size_t>(m_current)].failed)
        return m_current;
    const int place = NextPlayable(m_position);
    if (place >= 0)
        return m_order[static_cast<size_t>(place)];
    if (m_repeat != REPEAT_ALL || !AnyPlayable())
        return -1;
    // A new round: in shuffle a new order, whose first song is not the one
    // just played when there is another.
    if (m_shuffle) {
        std::shuffle(m_order.begin(), m_order.end(), m_random);
        if (m_order.size() > 1 && m_order.front() == m_current)
            std::swap(m_order.front(), m_order.back());
    }
    m_position = -1;
    return m_order[static_cast<size_t>(NextPlayable(-1))];
}

void CPlaylist::Advance(int index)
{
    if (index < 0 || index >= Size())
        return;
    if (index == m_current)
        return;
    m_position = static_cast<int>(std::find(m_order.begin(), m_order.end(), index) - m_order.begin());
    m_current = index;
}

int CPlaylist::PreviousIndex() const
{
    const int place = PreviousPlayable(m_position);
    if (place >= 0)
        return m_order[static_cast<size_t>(place)];
    if (m_repeat == REPEAT_ALL && !m_shuffle && AnyPlayable()) {
        const int last = PreviousPlayable(static_cast<int>(m_order.size()));
        return last >= 0 && last != m_position ? m_order[static_cast<size_t>(last)] : -1;
    }
    return -1;
}

bool CPlaylist::HasNext() const
{
    if (NextPlayable(m_position) >= 0)
        return true;
    // A round ends with another only under repeat all.
    return m_repeat == REPEAT_ALL && AnyPlayable() && (Size() > 1 || m_current < 0);
}

void CPlaylist::SetShuffle(bool shuffle)
{
    if (shuffle == m_shuffle)
        return;
    m_shuffle = shuffle;
    if (shuffle) {
        // What is current stays; the others come in a random order.
        std::iota(m_order.begin(), m_order.end(), 0);
        if (m_current >= 0) {
            std::swap(m_order[0], m_order[static_cast<size_t>(m_current)]);
            m_position = 0;
            ShuffleFrom(1);
        } else {
            m_position = -1;
            ShuffleFrom(0);
        }
    } else {
        std::iota(m_order.begin(), m_order.end(), 0);
        m_position = m_current;
    }
}
