#include "player/CBookmarkList.h"

#include "player/SettingsText.h"

#include <algorithm>

namespace {

std::string_view CutName(std::string_view name)
{
    if (name.size() <= CBookmarkList::MAX_NAME)
        return name;
    size_t size = CBookmarkList::MAX_NAME;
    // Back to the start of a UTF-8 character, never into its middle.
    while (size > 0 && (static_cast<unsigned char>(name[size]) & 0xC0) == 0x80)
        --size;
    return name.substr(0, size);
}

bool Escaped(unsigned char c)
{
    return c <= ' ' || c == '%' || c == '=' || c == 0x7F;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (size_t n = 0; n < text.size(); ++n) {
        if (text[n] != '%') {
            out += text[n];
            continue;
        }
        if (n + 2 >= text.size())
            return false;
        const int high = HexDigit(text[n + 1]);
        const int low = HexDigit(text[n + 2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        n += 2;
    }
    return true;
}

}

bool CBookmarkList::Add(LONGLONG tick, std::string_view name)
{
    if (tick < 0 || tick > MAX_TICK)
        return false;
    auto at = std::lower_bound(
        m_items.begin(), m_items.end(), tick, [](const Bookmark& b, LONGLONG t) { return b.tick < t; });
    if (at != m_items.end() && at->tick == tick) {
        at->name = CutName(name);
        return true;
    }
    if (m_items.size() >= MAX_BOOKMARKS)
        return false;
    m_items.insert(at, Bookmark { tick, std::string(CutName(name)) });
    return true;
}

bool CBookmarkList::Remove(size_t index)
{
    if (index >= m_items.size())
        return false;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

std::string CBookmarkList::ToText() const
{
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (const Bookmark& b : m_items) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(b.tick) + '=';
        for (const char c : b.name) {
            const auto u = static_cast<unsigned char>(c);
            if (Escaped(u)) {
                text += '%';
                text += hex[u >> 4];
                text += hex[u & 15];
            } else {
                text += c;
            }
        }
    }
    return text;
}

bool CBookmarkList::FromText(std::string_view text)
{
    CBookmarkList read;
    std::string name;
    const bool taken = SettingsText::ForEachField(text, [&](std::string_view key, std::string_view value) {
        std::int64_t tick = 0;
        return SettingsText::ParseInt(key, std::int64_t(0), std::int64_t(MAX_TICK), tick) && Unescape(value, name)
            && name.size() <= MAX_NAME && read.Add(tick, name);
    });
    if (taken)
        *this = read;
    return taken;
}
