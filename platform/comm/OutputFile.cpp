#include "platform/comm/OutputFile.h"

#include "platform/comm/WriteSignals.h"
#include "platform/core/Console.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Waits until fd takes more bytes; false (errno ETIMEDOUT) once the cleanup
// after a signal has run out of time. A signal that comes while it waits
// wakes it, so the deadline holds for a wait that began before it.
bool WaitWritable(int fd)
{
    for (;;) {
        const int left = CleanupMillisecondsLeft();
        if (left == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        pollfd fds[2] = { { fd, POLLOUT, 0 }, { left < 0 ? InterruptWakeHandle() : -1, POLLIN, 0 } };
        const int ready = poll(fds, 2, left);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0 && fds[0].revents)
            return true;
    }
}

}

int OpenOutputFile(const std::string& path)
{
    IgnoreWriteSignals();
    if (path == "-")
        return fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
}

bool IsSeekableFile(int fd)
{
    struct stat info {};
    return fstat(fd, &info) == 0 && (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
}

std::size_t WriteFully(int fd, const void* bytes, std::size_t count)
{
    const auto* at = static_cast<const unsigned char*>(bytes);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = write(fd, at + done, count - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno == EAGAIN) {
            if (!WaitWritable(fd))
                return done;
            continue;
        }
        if (put == 0)
            errno = EIO;
        return done;
    }
    return done;
}
