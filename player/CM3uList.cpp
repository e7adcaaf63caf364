#include "player/CM3uList.h"

#include "platform/core/FileUri.h"
#include "platform/core/SongFolder.h"
#include "platform/registry/CRegistryFile.h"

#include <charconv>

namespace {

const char* const kCurrentTag = "#TABRINO-CURRENT:";

bool StartsWith(const std::string& text, const char* head)
{
    return text.compare(0, std::char_traits<char>::length(head), head) == 0;
}

long long ParseNumber(const std::string& text, long long fallback)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest != text.data() ? value : fallback;
}

// The folder with one slash at its end.
std::string FolderPrefix(const CString& folder)
{
    std::string prefix = folder.ToUtf8();
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    return prefix;
}

}

BOOL CM3uList::Parse(const std::string& text, const CString& folder, BOOL requireHeader, std::vector<Song>& songs,
    int& current)
{
    songs.clear();
    current = -1;
    if (text.find('\0') != std::string::npos)
        return FALSE;
    const std::string prefix = FolderPrefix(folder);
    Song pending;
    bool first = true;
    size_t start = 0;
    // A byte-order mark some editors put first is no part of the first line.
    if (StartsWith(text, "\xEF\xBB\xBF"))
        start = 3;
    while (start < text.size() && songs.size() < kMaxSongs) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        const size_t lead = line.find_first_not_of(" \t");
        line.erase(0, lead == std::string::npos ? line.size() : lead);
        if (first && requireHeader && line != "#EXTM3U")
            return FALSE;
        first = false;
        if (line.empty())
            continue;
        if (line[0] == '#') {
            if (StartsWith(line, "#EXTINF:")) {
                const size_t comma = line.find(',');
                pending.seconds = ParseNumber(line.substr(8, comma == std::string::npos ? std::string::npos : comma - 8), -1);
                pending.title = comma == std::string::npos ? CString() : CString::FromUtf8(line.substr(comma + 1));
            } else if (StartsWith(line, kCurrentTag)) {
                current = static_cast<int>(ParseNumber(line.substr(std::char_traits<char>::length(kCurrentTag)), -1));
            }
            continue;
        }
        CString path;
        if (StartsWith(line, "file:")) {
            if (!PathFromFileUri(line, path)) {
                pending = Song();
                continue;
            }
        } else {
            path = CString::FromUtf8(line[0] == '/' ? line : prefix + line);
        }
        pending.path = path;
        songs.push_back(pending);
        pending = Song();
    }
    if (current < 0 || current >= static_cast<int>(songs.size()))
        current = -1;
    return TRUE;
}

std::string CM3uList::Format(const std::vector<Song>& songs, const CString& folder, int current)
{
    const std::string prefix = FolderPrefix(folder);
    std::string text = "#EXTM3U\n";
    for (const Song& song : songs) {
        // A title on a line of its own would end the line early.
        std::string title = song.title.ToUtf8();
        for (char& c : title) {
            if (c == '\n' || c == '\r')
                c = ' ';
        }
        text += "#EXTINF:" + std::to_string(song.seconds < 0 ? -1 : song.seconds) + "," + title + "\n";
        std::string path = song.path.ToUtf8();
        if (path.compare(0, prefix.size(), prefix) == 0 && path.size() > prefix.size())
            path.erase(0, prefix.size());
        // A name that would read back as a comment, a URI or with other
        // spaces at its ends goes as a file URI.
        else if (path.empty() || path[0] != '/')
            path = FileUriFromPath(song.path);
        if (path[0] == '#' || path[0] == ' ' || path.back() == ' ' || path.find('\n') != std::string::npos
            || path.find('\r') != std::string::npos || StartsWith(path, "file:"))
            path = FileUriFromPath(song.path);
        text += path + "\n";
    }
    if (current >= 0)
        text += kCurrentTag + std::to_string(current) + "\n";
    return text;
}

namespace {

// The folder a list's relative paths start from; a list named without one
// is in the working folder.
CString ListFolder(const CString& path)
{
    const int slash = path.ReverseFind(L'/');
    if (slash < 0)
        return CString(L".");
    return slash == 0 ? CString(L"/") : path.Left(slash);
}

}

BOOL CM3uList::IsListName(const CString& path)
{
    const int dot = path.ReverseFind(L'.');
    if (dot < 0)
        return FALSE;
    CString ext = path.Mid(dot + 1);
    return ext == L"m3u8" || ext == L"m3u" || ext == L"M3U8" || ext == L"M3U";
}

std::vector<CString> CM3uList::ExpandPaths(const std::vector<CString>& paths, BOOL recursive)
{
    std::vector<CString> songs;
    for (const CString& path : paths) {
        if (IsListName(path) && !IsFolderPath(path)) {
            std::string text;
            std::vector<Song> listed;
            int current = -1;
            if (CRegistryFile::ReadText(path.ToUtf8(), text) == CRegistryFile::LoadResult::Loaded
                && Parse(text, ListFolder(path), FALSE, listed, current)) {
                for (Song& song : listed)
                    songs.push_back(std::move(song.path));
                continue;
            }
        }
        for (CString& song : ExpandSongPaths({ path }, recursive))
            songs.push_back(std::move(song));
        if (songs.size() >= kMaxSongs)
            break;
    }
    if (songs.size() > kMaxSongs)
        songs.resize(kMaxSongs);
    return songs;
}
