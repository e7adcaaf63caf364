// What a start costs the command-line programs, beside floors: the shared
// libraries each program loads (and whether Qt, FluidSynth, ALSA or D-Bus
// are among them), the wall time of `--help`, the time from exec to the
// first byte of `tabrino-play --port capture:FIFO` against a minimal C
// player (startup_min_player), and `tabrino-dump` against midicsv on the
// songs of openttd-openmsx, whole processes each.
//
// Usage: bench_startup [BUILD_DIR [RUNS]]  (default: this build, 21 runs)
// Another build folder measures the programs built there with this bench's
// own floor, e.g. a build of an older commit.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Starts argv[0] with standard output and error to /dev/null; 0 when it
// cannot be started.
pid_t Spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

struct Run {
    double wallMs;
    double cpuMs;
    bool ok;
};

// Runs a program to its end.
Run RunToEnd(const std::vector<std::string>& args)
{
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(args);
    if (pid == 0)
        return { 0, 0, false };
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double wall = MillisSince(start);
    const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return { wall, cpu, WIFEXITED(status) && WEXITSTATUS(status) == 0 };
}

// Milliseconds from the spawn until the first byte arrives in the FIFO the
// program writes its capture to; -1 when none came within five seconds.
// The program is then asked to end (SIGTERM) and drained until it has.
double FirstByte(std::vector<std::string> args, const std::string& fifo)
{
    // The read end opens first: a capture port refuses a FIFO nobody reads.
    const int fd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(args);
    double first = -1;
    if (pid != 0) {
        pollfd p { fd, POLLIN, 0 };
        char buffer[4096];
        bool writerSeen = false;
        const Clock::time_point deadline = start + std::chrono::seconds(10);
        while (Clock::now() < deadline) {
            if (poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0) {
                if (first < 0) {
                    first = MillisSince(start);
                    kill(pid, SIGTERM);
                }
                writerSeen = true;
            } else if (n == 0 && writerSeen) {
                break; // the writer closed its end
            } else if (n == 0) {
                // Not opened yet by the writer: a read end alone reads as
                // end of file at once.
                usleep(50);
            }
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(fd);
    return first;
}

// The shared libraries the dynamic loader maps for a program, as ldd lists
// them, and which of the heavy ones are among them.
void ReportLibraries(const std::string& label, const std::string& path)
{
    std::FILE* pipe = popen(("ldd '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe)
        return;
    int count = 0;
    bool qt = false, widgets = false, fluid = false, alsa = false, dbus = false;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        ++count;
        const std::string l(line);
        qt |= l.find("libQt6") != std::string::npos;
        widgets |= l.find("libQt6Widgets") != std::string::npos;
        fluid |= l.find("libfluidsynth") != std::string::npos;
        alsa |= l.find("libasound") != std::string::npos;
        dbus |= l.find("libdbus") != std::string::npos;
    }
    pclose(pipe);
    std::string heavy;
    for (auto [has, name] : { std::pair { widgets, " Qt-Widgets" }, std::pair { qt && !widgets, " Qt" },
             std::pair { fluid, " FluidSynth" }, std::pair { alsa, " ALSA" }, std::pair { dbus, " D-Bus" } })
        if (has)
            heavy += name;
    std::printf("  %-20s %3d%s\n", label.c_str(), count, heavy.empty() ? "" : ("   (" + heavy.substr(1) + ")").c_str());
}

bool Exists(const std::string& path)
{
    return access(path.c_str(), X_OK) == 0;
}

}

int main(int argc, char** argv)
{
    const std::string build = argc > 1 && *argv[1] ? argv[1] : TABRINO_BINARY_DIR;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
    const std::string floor = std::string(TABRINO_BINARY_DIR) + "/bench/startup_min_player";
    const std::string play = build + "/tools/tabrino-play";
    const std::string dump = build + "/tools/tabrino-dump";
    const std::string window = build + "/tabrino";
    const std::string midicsv = "/usr/bin/midicsv";
    const std::string song = std::string(TABRINO_SOURCE_DIR) + "/res/demo.mid";
    const bool haveMidicsv = Exists(midicsv);

    std::printf("shared libraries (ldd):\n");
    ReportLibraries("startup_min_player", floor);
    if (haveMidicsv)
        ReportLibraries("midicsv", midicsv);
    ReportLibraries("tabrino-dump", dump);
    ReportLibraries("tabrino-play", play);
    ReportLibraries("tabrino", window);

    std::printf("--help, wall time (median of %d runs):\n", runs);
    for (const auto& [label, args] : { std::pair { std::string("startup_min_player"), std::vector<std::string> { floor } },
             std::pair { std::string("tabrino-dump --help"), std::vector<std::string> { dump, "--help" } },
             std::pair { std::string("tabrino-play --help"), std::vector<std::string> { play, "--help" } } }) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i)
            times.push_back(RunToEnd(args).wallMs);
        std::printf("  %-20s %6.2f ms\n", label.c_str(), Median(times));
    }

    std::string pattern = (std::filesystem::temp_directory_path() / "tabrino-startup-XXXXXX").string();
    const std::string dir = mkdtemp(pattern.data());
    const std::string fifo = dir + "/capture.fifo";
    mkfifo(fifo.c_str(), 0600);
    // The two take turns, run by run, so that a machine busy with other
    // work slows both alike.
    std::printf("exec to the first captured byte (median, best of %d runs):\n", runs);
    const std::vector<std::pair<std::string, std::vector<std::string>>> players {
        { "startup_min_player", { floor, fifo, song } },
        { "tabrino-play", { play, "--port", "capture:" + fifo, song } },
    };
    std::vector<std::vector<double>> times(players.size());
    for (int i = 0; i < runs; ++i)
        for (size_t p = 0; p < players.size(); ++p)
            if (const double ms = FirstByte(players[p].second, fifo); ms >= 0)
                times[p].push_back(ms);
    for (size_t p = 0; p < players.size(); ++p) {
        if (times[p].empty()) {
            std::printf("  %-20s no byte arrived\n", players[p].first.c_str());
            continue;
        }
        std::printf("  %-20s %6.2f ms  (best %.2f ms)", players[p].first.c_str(), Median(times[p]),
            *std::min_element(times[p].begin(), times[p].end()));
        if (p > 0 && !times[0].empty())
            std::printf("  %.1fx the floor", Median(times[p]) / Median(times[0]));
        std::printf("\n");
    }
    std::filesystem::remove_all(dir);

    const std::filesystem::path corpus = "/usr/share/games/openttd/baseset/openmsx";
    std::vector<std::string> songs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(corpus, error))
        if (entry.path().extension() == ".mid")
            songs.push_back(entry.path().string());
    std::sort(songs.begin(), songs.end());
    if (songs.empty()) {
        std::printf("dumping: no songs in %s (package openttd-openmsx)\n", corpus.c_str());
        return 0;
    }
    std::printf("dumping the %zu openttd-openmsx songs, one process a song (best of 3 passes):\n", songs.size());
    double midicsvWall = 0;
    for (const auto& [label, program] : { std::pair { std::string("midicsv"), midicsv },
             std::pair { std::string("tabrino-dump"), dump } }) {
        if (program == midicsv && !haveMidicsv) {
            std::printf("  midicsv not installed\n");
            continue;
        }
        double bestWall = 1e300, bestCpu = 1e300;
        bool ok = true;
        for (int pass = 0; pass < 3; ++pass) {
            double wall = 0, cpu = 0;
            for (const std::string& s : songs) {
                const Run r = RunToEnd({ program, s });
                ok &= r.ok;
                wall += r.wallMs;
                cpu += r.cpuMs;
            }
            bestWall = std::min(bestWall, wall);
            bestCpu = std::min(bestCpu, cpu);
        }
        if (program == midicsv)
            midicsvWall = bestWall;
        std::printf("  %-20s wall %7.1f ms  cpu %7.1f ms%s", label.c_str(), bestWall, bestCpu, ok ? "" : "  (some failed)");
        if (program == dump && midicsvWall > 0)
            std::printf("  %.2fx midicsv", bestWall / midicsvWall);
        std::printf("\n");
    }
    return 0;
}
