#include "platform/registry/ConfigFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MakeFolders(const std::string& file)
{
    size_t slash = file.find('/', 1);
    while (slash != std::string::npos) {
        std::string dir = file.substr(0, slash);
        if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        slash = file.find('/', slash + 1);
    }
    return true;
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}

std::string ConfigFolderPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && home[0] ? home : "/tmp") + "/.config";
    }
    return base + "/TabrinoCE";
}

ConfigRead ReadConfigFile(const std::string& path, size_t maxSize, const std::function<bool(const std::string&)>& parse)
{
    std::string text;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ConfigRead::Missing : ConfigRead::Unreadable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ConfigRead::Unreadable;
    }
    ConfigRead result = static_cast<unsigned long long>(st.st_size) <= maxSize ? ConfigRead::Loaded : ConfigRead::Damaged;
    if (result == ConfigRead::Loaded)
        text.reserve(static_cast<size_t>(st.st_size));
    while (result == ConfigRead::Loaded) {
        char buffer[65536];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            result = ConfigRead::Unreadable;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
        // The file may grow after fstat; the limit holds for what is read.
        if (text.size() > maxSize)
            result = ConfigRead::Damaged;
    }
    ::close(fd);
    if (result == ConfigRead::Loaded && !parse(text))
        result = ConfigRead::Damaged;
    return result;
}

bool ReplaceConfigFile(const std::string& path, const std::string& text)
{
    if (!MakeFolders(path))
        return false;
    std::string temp = path + ".tmp." + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself must reach the disk too.
    std::string dir = path.substr(0, path.rfind('/'));
    int dirFd = ::open(dir.empty() ? "/" : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}
