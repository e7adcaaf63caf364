#include "player/CSongMemory.h"

#include "platform/registry/ConfigFile.h"
#include "song/ContentHash.h"

#include <string_view>

const char* const CSongMemory::kHeader = "TabrinoCE song memory 1";

namespace {

// Texts stay on one line: a backslash, a line feed and a carriage return
// are written as \\, \n and \r.
void AppendEscaped(std::string& out, const std::string& text)
{
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
}

bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            if (++i == text.size())
                return false;
            c = text[i] == 'n' ? '\n' : text[i] == 'r' ? '\r' : text[i] == '\\' ? '\\' : '\0';
            if (c == '\0')
                return false;
        }
        out += c;
    }
    return out.size() <= CSongMemory::kMaxText;
}

}

bool CSongMemory::ValidName(const std::string& name)
{
    if (name.empty() || name.size() > 32)
        return false;
    for (char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool CSongMemory::Parse(const std::string& text)
{
    m_songs.clear();
    m_index.clear();
    std::string_view rest(text);
    bool first = true;
    // The record being read; null while a song past the limit (or a second
    // section of the same song) is passed over.
    Record* record = nullptr;
    bool skipping = false;
    std::string value;
    auto damaged = [this] {
        m_songs.clear();
        m_index.clear();
        return false;
    };
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (first) {
            if (line != kHeader)
                return damaged();
            first = false;
            continue;
        }
        if (line.empty())
            continue;
        if (line.front() == '[') {
            std::uint64_t hash = 0;
            if (line.back() != ']' || !ParseContentHash(std::string(line.substr(1, line.size() - 2)), hash))
                return damaged();
            skipping = m_songs.size() >= kMaxSongs || m_index.count(hash) != 0;
            record = nullptr;
            if (!skipping) {
                m_songs.emplace_back(hash, Record());
                m_index.emplace(hash, std::prev(m_songs.end()));
                record = &m_songs.back().second;
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || (!record && !skipping))
            return damaged();
        const std::string name(line.substr(0, equals));
        if (!ValidName(name) || !Unescape(line.substr(equals + 1), value))
            return damaged();
        if (!record)
            continue;
        (*record)[name] = value;
        if (record->size() > kMaxEntries)
            return damaged();
    }
    if (first)
        return damaged();
    // A section without entries keeps nothing.
    for (auto song = m_songs.begin(); song != m_songs.end();) {
        if (song->second.empty()) {
            m_index.erase(song->first);
            song = m_songs.erase(song);
        } else {
            ++song;
        }
    }
    return true;
}

std::string CSongMemory::Format() const
{
    std::string out = std::string(kHeader) + "\n";
    for (const Song& song : m_songs) {
        out += "\n[" + ContentHashText(song.first) + "]\n";
        for (const auto& [name, text] : song.second) {
            out += name;
            out += '=';
            AppendEscaped(out, text);
            out += '\n';
        }
    }
    return out;
}

CSongMemory::LoadResult CSongMemory::Load(const std::string& path)
{
    m_songs.clear();
    m_index.clear();
    return ReadConfigFile(path, kMaxFileSize, [this](const std::string& text) { return Parse(text); });
}

bool CSongMemory::Save(const std::string& path) const
{
    return ReplaceConfigFile(path, Format());
}

std::string CSongMemory::FilePath()
{
    return ConfigFolderPath() + "/song-memory.txt";
}

const CSongMemory::Record* CSongMemory::Find(std::uint64_t hash) const
{
    const auto found = m_index.find(hash);
    return found == m_index.end() ? nullptr : &found->second->second;
}

void CSongMemory::Put(std::uint64_t hash, Record record)
{
    Remove(hash);
    if (record.empty())
        return;
    m_songs.emplace_front(hash, std::move(record));
    m_index.emplace(hash, m_songs.begin());
}

void CSongMemory::Touch(std::uint64_t hash)
{
    const auto found = m_index.find(hash);
    if (found != m_index.end())
        m_songs.splice(m_songs.begin(), m_songs, found->second);
}

void CSongMemory::Remove(std::uint64_t hash)
{
    const auto found = m_index.find(hash);
    if (found == m_index.end())
        return;
    m_songs.erase(found->second);
    m_index.erase(found);
}

void CSongMemory::Trim()
{
    while (m_songs.size() > kMaxSongs) {
        m_index.erase(m_songs.back().first);
        m_songs.pop_back();
    }
}

std::vector<std::uint64_t> CSongMemory::Songs() const
{
    std::vector<std::uint64_t> songs;
    songs.reserve(m_songs.size());
    for (const Song& song : m_songs)
        songs.push_back(song.first);
    return songs;
}
