#pragma once

#include "platform/core/WinTypes.h"

#include <string>
#include <vector>

// What a finished child process used, as the system counted it.
struct ChildUsage {
    // Exit status, or 128 + the signal that ended it; -1 when it could not
    // be started.
    int status { -1 };
    // Processor time, user and system, in microseconds.
    ULONGLONG cpuMicroseconds { 0 };
    // The most memory it held at once (resident set), in bytes.
    ULONGLONG peakBytes { 0 };
    // Page faults: each first touch of a fresh page of memory costs one.
    ULONGLONG pageFaults { 0 };
};

// Runs a program (argv[0] is its path) with standard output going to
// outputPath (standard input and error stay the caller's), waits for it
// and returns what it used. For the benchmarks, which measure whole tools.
ChildUsage RunChildProcess(const std::vector<std::string>& argv, const std::string& outputPath);
