#include "platform/registry/CConfigFileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

CConfigFileLock::CConfigFileLock(const std::string& target, unsigned waitMilliseconds)
{
    const std::string path = target + ".lock";
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    // Polled rather than blocking, so that a holder that hangs cannot hold
    // this window's close for ever.
    for (unsigned waited = 0;; waited += 5) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_locked = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= waitMilliseconds)
            return;
        struct timespec pause { 0, 5 * 1000 * 1000 };
        ::nanosleep(&pause, nullptr);
    }
}

CConfigFileLock::~CConfigFileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
