#include "platform/core/SongFolder.h"

#include "platform/core/LastError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Deeper folders than this are not entered: a tree that deep is no song
// collection, and the walk must end.
constexpr int kMaxDepth = 32;

struct FolderEntry {
    CString name;
    bool folder;
};

void Collect(const CString& folder, BOOL recursive, int depth, std::vector<CString>& songs)
{
    DIR* dir = ::opendir(folder.ToUtf8().c_str());
    if (!dir)
        return;
    std::vector<FolderEntry> entries;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        const CString name = CString::FromUtf8(entry->d_name);
        const std::string path = (folder + L"/" + name).ToUtf8();
        struct stat info {};
        // lstat: a link to a folder is not entered, a link to a file is
        // taken as the file.
        if (::lstat(path.c_str(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            if (recursive && depth < kMaxDepth)
                entries.push_back({ name, true });
        } else if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            entries.push_back({ name, false });
        }
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
        [](const FolderEntry& a, const FolderEntry& b) { return NaturalLess(a.name, b.name); });
    const CString prefix = folder.Right(1) == L"/" ? folder : folder + L"/";
    for (const FolderEntry& entry : entries) {
        if (songs.size() >= kMaxFolderSongs)
            return;
        if (entry.folder)
            Collect(prefix + entry.name, recursive, depth + 1, songs);
        else if (StartsLikeMidi(prefix + entry.name))
            songs.push_back(prefix + entry.name);
    }
}

}

BOOL IsFolderPath(const CString& path)
{
    struct stat info {};
    return ::stat(path.ToUtf8().c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? TRUE : FALSE;
}

bool NaturalLess(const CString& a, const CString& b)
{
    const std::wstring& x = a.Str();
    const std::wstring& y = b.Str();
    size_t i = 0;
    size_t j = 0;
    while (i < x.size() && j < y.size()) {
        if (std::iswdigit(static_cast<wint_t>(x[i])) && std::iswdigit(static_cast<wint_t>(y[j]))) {
            // Leading zeros say nothing of the value; the longer run of the
            // rest is the larger number, else the first digit that differs.
            while (i < x.size() && x[i] == L'0')
                ++i;
            while (j < y.size() && y[j] == L'0')
                ++j;
            size_t ei = i;
            size_t ej = j;
            while (ei < x.size() && std::iswdigit(static_cast<wint_t>(x[ei])))
                ++ei;
            while (ej < y.size() && std::iswdigit(static_cast<wint_t>(y[ej])))
                ++ej;
            if (ei - i != ej - j)
                return ei - i < ej - j;
            const int order = x.compare(i, ei - i, y, j, ej - j);
            if (order != 0)
                return order < 0;
            i = ei;
            j = ej;
            continue;
        }
        const auto cx = std::towlower(static_cast<wint_t>(x[i]));
        const auto cy = std::towlower(static_cast<wint_t>(y[j]));
        if (cx != cy)
            return cx < cy;
        ++i;
        ++j;
    }
    if (x.size() - i != y.size() - j)
        return x.size() - i < y.size() - j;
    // Names equal but for case or zeros keep one order all the same.
    return x < y;
}

BOOL StartsLikeMidi(const CString& path)
{
    const int fd = ::open(path.ToUtf8().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return FALSE;
    unsigned char head[12] {};
    size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = ::read(fd, head + got, sizeof head - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (got >= 4 && std::memcmp(head, "MThd", 4) == 0)
        return TRUE;
    return got == 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "RMID", 4) == 0 ? TRUE : FALSE;
}

std::vector<CString> MidiFilesInFolder(const CString& folder, BOOL recursive)
{
    std::vector<CString> songs;
    Collect(folder, recursive, 0, songs);
    return songs;
}

std::vector<CString> ExpandSongPaths(const std::vector<CString>& paths, BOOL recursive)
{
    std::vector<CString> songs;
    for (const CString& path : paths) {
        if (IsFolderPath(path)) {
            for (CString& song : MidiFilesInFolder(path, recursive))
                songs.push_back(std::move(song));
        } else {
            songs.push_back(path);
        }
    }
    return songs;
}
