// Runs the player window (Qt, offscreen unless a display is named) with a
// song and reports the processor time of the whole process and of its
// user-interface thread: idle after start-up, while the song plays, and
// idle again once the meters have fallen after a stop. The port is "none",
// so the figures hold the window and the player thread, not an output.
//
// Usage: bench_window [SECONDS_PER_PHASE [ZOOM]]  (default 10 and 2)

#include "app/CTabrinoDlg.h"
#include "platform/core/Console.h"
#include "platform/ui/WindowZoom.h"
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

// One phase of measurement, begun and ended on the user-interface thread.
struct Phase {
    explicit Phase(const char* phaseName)
        : name(phaseName)
    {
    }

    const char* name;
    Clock::time_point wall;
    ULONGLONG process { 0 };
    ULONGLONG ui { 0 };
    long wakes { 0 };
    long uiWakes { 0 };

    // Times a thread went to sleep and was woken: on a virtual machine each
    // wake costs more than the work most refreshes do.
    static long Wakes(int who)
    {
        rusage usage {};
        getrusage(who, &usage);
        return usage.ru_nvcsw;
    }

    void Begin()
    {
        wall = Clock::now();
        process = GetProcessCpuMicroseconds();
        ui = GetThreadCpuMicroseconds();
        wakes = Wakes(RUSAGE_SELF);
        uiWakes = Wakes(RUSAGE_THREAD);
    }
    void End()
    {
        const double seconds = std::chrono::duration<double>(Clock::now() - wall).count();
        const double processCpu = static_cast<double>(GetProcessCpuMicroseconds() - process) / 1e6;
        const double uiCpu = static_cast<double>(GetThreadCpuMicroseconds() - ui) / 1e6;
        std::printf("  %-28s process %.3f %% of one core, user-interface thread %.3f %%; wakes a second: "
                    "process %.0f, user-interface thread %.0f\n",
            name, 100.0 * processCpu / seconds, 100.0 * uiCpu / seconds,
            static_cast<double>(Wakes(RUSAGE_SELF) - wakes) / seconds,
            static_cast<double>(Wakes(RUSAGE_THREAD) - uiWakes) / seconds);
    }
};

// Runs the steps one after the other, each after its delay in seconds.
void Schedule(std::vector<std::pair<double, std::function<void()>>> steps, size_t from = 0)
{
    if (from >= steps.size())
        return;
    const int ms = static_cast<int>(steps[from].first * 1000);
    QTimer::singleShot(ms, [steps, from]() {
        steps[from].second();
        Schedule(steps, from + 1);
    });
}

}

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    int zoom = argc > 2 ? std::atoi(argv[2]) : 2;
    if (seconds <= 0)
        seconds = 10.0;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    std::string song;
    std::error_code error;
    std::uintmax_t largestSize = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/games/openttd/baseset/openmsx", error)) {
        if (entry.path().extension() == ".mid" && entry.file_size() > largestSize) {
            largestSize = entry.file_size();
            song = entry.path().string();
        }
    }
    if (song.empty())
        song = std::string(TABRINO_SOURCE_DIR) + "/res/demo.mid";

    PrepareQtDisplay();
    QApplication app(argc, argv);
    InstallQtBackend();
    SetWindowZoom(zoom);
    CTabrinoDlg dialog;
    dialog.m_strPort = L"none";
    dialog.m_strStartFile = CString::FromUtf8(song);

    std::printf("%s at zoom %d on the %s platform:\n", std::filesystem::path(song).filename().c_str(), zoom,
        QGuiApplication::platformName().toUtf8().constData());
    Phase idle("idle after start-up");
    Phase playing("playing");
    Phase stopped("idle after a stop");
    Schedule({
        { 2.0, [&] { idle.Begin(); } },
        { seconds, [&] { idle.End(); dialog.OnButtonPlay(); } },
        { 1.0, [&] { playing.Begin(); } },
        { seconds, [&] { playing.End(); dialog.OnButtonStop(); } },
        // The meters fall for a few seconds after the stop.
        { 6.0, [&] { stopped.Begin(); } },
        { seconds, [&] { stopped.End(); dialog.EndDialog(IDOK); } },
    });
    dialog.DoModal();
    UninstallQtBackend();
    return 0;
}
