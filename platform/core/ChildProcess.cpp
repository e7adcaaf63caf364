#include "platform/core/ChildProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

ChildUsage RunChildProcess(const std::vector<std::string>& argv, const std::string& outputPath)
{
    ChildUsage usage;
    if (argv.empty())
        return usage;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return usage;
    int status = 0;
    rusage used {};
    pid_t done;
    do {
        done = wait4(pid, &status, 0, &used);
    } while (done < 0 && errno == EINTR);
    if (done != pid)
        return usage;
    usage.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    auto micros = [](const timeval& t) {
        return static_cast<ULONGLONG>(t.tv_sec) * 1000000u + static_cast<ULONGLONG>(t.tv_usec);
    };
    usage.cpuMicroseconds = micros(used.ru_utime) + micros(used.ru_stime);
    // Linux counts the resident set in kibibytes.
    usage.peakBytes = static_cast<ULONGLONG>(used.ru_maxrss) * 1024u;
    usage.pageFaults = static_cast<ULONGLONG>(used.ru_minflt) + static_cast<ULONGLONG>(used.ru_majflt);
    return usage;
}
