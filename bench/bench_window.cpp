// Runs the player window (Qt, offscreen unless a display is named) with a
// song and reports the processor time of the whole process and of its
// user-interface thread: idle after start-up, while the song plays, and
// idle again once the meters have fallen after a stop. The port is "none",
// so the figures hold the window and the player thread, not an output.
// On X11 it also reports the X server's processor time (when the server runs
// on this machine) and how many repaints, and pixels, the window sends it.
// Under `valgrind --tool=callgrind` the counts cover the playing phase only.
//
// Usage: bench_window [--views] [--dense] [SECONDS_PER_PHASE [ZOOM [LEAD_IN]]]
// (default 10, 2 and 1): the playing phase begins LEAD_IN seconds after the
// start, so that one-time work (the glyph cache meeting each pair of digits)
// can be left out of instruction counts. --views opens the lyrics and the
// keyboard windows beside the face; --dense plays a dense karaoke song
// (16 channels, a 4-note chord on each every 10 ms, 12800 messages a second,
// and a syllable every half second) instead of the largest song of the
// corpus. The settings go to a temporary folder, not the user's.

#include "app/CSongViews.h"
#include "app/CTabrinoDlg.h"
#include "bench/DenseSong.h"
#include "platform/core/Console.h"
#include "platform/ui/WindowZoom.h"
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

namespace {

using Clock = std::chrono::steady_clock;

// The local X server of DISPLAY (Xvfb, Xorg), found by its ":N" argument;
// 0 when there is none on this machine.
pid_t XServerPid()
{
    const char* display = std::getenv("DISPLAY");
    if (!display || display[0] != ':')
        return 0;
    std::string number(display);
    number = number.substr(0, number.find('.'));
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream file(entry.path() / "cmdline", std::ios::binary);
        std::string argument;
        std::vector<std::string> arguments;
        while (std::getline(file, argument, '\0'))
            arguments.push_back(argument);
        if (arguments.empty())
            continue;
        const std::string program = std::filesystem::path(arguments[0]).filename();
        if (program != "Xvfb" && program != "Xorg" && program != "X")
            continue;
        for (const std::string& a : arguments) {
            if (a == number)
                return static_cast<pid_t>(std::atol(entry.path().filename().c_str()));
        }
    }
    return 0;
}

// Processor time of another process, in microseconds.
double ProcessCpuMicroseconds(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The fields after the command's closing parenthesis; utime and stime
    // are the 12th and 13th of them.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int n = 1; n <= 13 && fields >> field; ++n) {
        if (n >= 12)
            ticks += std::atof(field.c_str());
    }
    return ticks * 1e6 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Counts the repaints of the player's windows and the pixels they cover.
class PaintCounter : public QObject {
public:
    long paints { 0 };
    long long rectangles { 0 };
    long long pixels { 0 };

    void Watch()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& part : static_cast<QPaintEvent*>(event)->region()) {
                ++rectangles;
                pixels += static_cast<long long>(part.width()) * part.height();
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

PaintCounter* g_paints = nullptr;
pid_t g_server = 0;

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
    double server { 0 };
    double system { 0 };
    double uiSystem { 0 };
    long paints { 0 };
    long long rectangles { 0 };
    long long pixels { 0 };

    // Times a thread went to sleep and was woken: on a virtual machine each
    // wake costs more than the work most refreshes do.
    static long Wakes(int who)
    {
        rusage usage {};
        getrusage(who, &usage);
        return usage.ru_nvcsw;
    }
    // Processor time spent in the kernel, in microseconds.
    static double SystemTime(int who)
    {
        rusage usage {};
        getrusage(who, &usage);
        return static_cast<double>(usage.ru_stime.tv_sec) * 1e6 + static_cast<double>(usage.ru_stime.tv_usec);
    }

    void Begin()
    {
        wall = Clock::now();
        process = GetProcessCpuMicroseconds();
        ui = GetThreadCpuMicroseconds();
        wakes = Wakes(RUSAGE_SELF);
        uiWakes = Wakes(RUSAGE_THREAD);
        system = SystemTime(RUSAGE_SELF);
        uiSystem = SystemTime(RUSAGE_THREAD);
        server = g_server ? ProcessCpuMicroseconds(g_server) : 0;
        paints = g_paints->paints;
        rectangles = g_paints->rectangles;
        pixels = g_paints->pixels;
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
        std::printf("  %-28s in the kernel: process %.3f %%, user-interface thread %.3f %%\n", "",
            100.0 * (SystemTime(RUSAGE_SELF) - system) / 1e6 / seconds,
            100.0 * (SystemTime(RUSAGE_THREAD) - uiSystem) / 1e6 / seconds);
        std::printf("  %-28s repaints a second %.1f, with %.0f rectangles and %.0f pixels", "",
            static_cast<double>(g_paints->paints - paints) / seconds,
            static_cast<double>(g_paints->rectangles - rectangles) / seconds,
            static_cast<double>(g_paints->pixels - pixels) / seconds);
        if (g_server)
            std::printf(", X server %.3f %% of one core", 100.0 * (ProcessCpuMicroseconds(g_server) - server) / 1e6 / seconds);
        std::printf("\n");
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
    bool views = false, dense = false;
    std::vector<char*> numbers { argv[0] };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--views")
            views = true;
        else if (arg == "--dense")
            dense = true;
        else
            numbers.push_back(argv[i]);
    }
    const int count = static_cast<int>(numbers.size());
    double seconds = count > 1 ? std::atof(numbers[1]) : 10.0;
    int zoom = count > 2 ? std::atoi(numbers[2]) : 2;
    const double leadIn = count > 3 ? std::max(0.0, std::atof(numbers[3])) : 1.0;
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
    if (dense)
        song = WriteDenseSong(leadIn + seconds + 2, "bench_window_dense.kar", true);
    // The window saves its settings at the end: into a folder of its own.
    std::string config = (std::filesystem::temp_directory_path() / "bench-window-XXXXXX").string();
    if (::mkdtemp(config.data()))
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    PrepareQtDisplay();
    QApplication app(argc, argv);
    InstallQtBackend();
    SetWindowZoom(zoom);
    CTabrinoDlg dialog;
    dialog.m_strPort = L"none";
    dialog.m_strStartFile = CString::FromUtf8(song);

    std::printf("%s at zoom %d on the %s platform%s:\n", std::filesystem::path(song).filename().c_str(), zoom,
        QGuiApplication::platformName().toUtf8().constData(),
        views ? ", with the lyrics and keyboard windows open" : "");
    Phase idle("idle after start-up");
    Phase playing("playing");
    Phase stopped("idle after a stop");
    PaintCounter paints;
    g_paints = &paints;
    g_server = XServerPid();
    Schedule({
        { 2.0, [&] {
             // Above and below the face, where they show whole beside it.
             if (views) {
                 CSongViews& windows = *dialog.m_pViews;
                 windows.m_lyrics.Open(FALSE);
                 windows.m_keyboard.Open(FALSE);
                 RECT face;
                 dialog.GetWindowRect(&face);
                 windows.m_lyrics.MoveWindow(face.left - 200, std::max<LONG>(0, face.top - 240), 880, 200);
                 windows.m_keyboard.MoveWindow(face.left - 200, face.bottom + 40, 880, 180);
             }
             paints.Watch();
             idle.Begin();
         } },
        { seconds, [&] { idle.End(); dialog.OnButtonPlay(); } },
        { leadIn, [&] { CALLGRIND_ZERO_STATS; playing.Begin(); } },
        { seconds, [&] { playing.End(); CALLGRIND_DUMP_STATS_AT("playing"); dialog.OnButtonStop(); } },
        // The meters fall for a few seconds after the stop.
        { 6.0, [&] { stopped.Begin(); } },
        { seconds, [&] { stopped.End(); dialog.EndDialog(IDOK); } },
    });
    dialog.DoModal();
    UninstallQtBackend();
    if (dense)
        std::filesystem::remove(song);
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return 0;
}
