// How long the window's thread is held by each command while the player
// thread writes to a slow device: the fake device takes 95 ms for each
// byte (just within the output stage's 100 ms, so it never counts as
// stalled; the all-off of a stop takes it 14 s). Each command comes while a
// song plays; the dialog runs headless, each command is sent right after
// the device took a byte (or at once when the device is idle), and
// the longest call of each is reported, with the notice that the player
// stopped (where the window takes a song loaded meanwhile) and the close.
// Then the drop of a 60 MiB file of running-status events, generated here:
// how long the drop holds the window's thread, and the longest message of
// the window until the song is in place.
//
// Usage: bench_window_thread [REPEATS]  (default 5)

#include "app/CTabrinoDlg.h"
#include "platform/core/TickCount.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/WindowHandle.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "tests/SmfBytes.h"
#include "tests/TempConfigHome.h"
#include "tests/support/CFakeDevice.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A file of one track (ending where `track` ends) at 384 ticks a quarter,
// in the temporary folder.
std::string WriteOneTrackSong(const std::string& name, std::vector<unsigned char> track)
{
    track.insert(track.end(), { 0x00, 0xFF, 0x2F, 0x00 });
    std::vector<unsigned char> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 128 };
    PutTrackChunk(file, track);
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
        static_cast<std::streamsize>(file.size()));
    return path;
}

// A song of 400 beats of half a second: a note on at 0, its note off at the end.
std::string WriteSong(const std::string& name)
{
    std::vector<unsigned char> track { 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 60, 100 };
    PutVarLen(track, 384 * 400);
    track.insert(track.end(), { 0x80, 60, 0 });
    return WriteOneTrackSong(name, std::move(track));
}

// A note on at 0 and then note ons of velocity 0 in running status, three
// bytes each, to `bytes` of file.
std::string WriteRunningStatusSong(const std::string& name, std::size_t bytes)
{
    std::vector<unsigned char> track { 0x00, 0x90, 60, 100 };
    track.reserve(bytes);
    while (track.size() + 3 + 4 + 22 < bytes)
        track.insert(track.end(), { 0x00, 60, 0 });
    return WriteOneTrackSong(name, std::move(track));
}

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

class Bench {
public:
    Bench()
    {
        device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 95);
        dialog.m_strPortOverride = device->PortName();
        dialog.CreateHeadless(240, 268);
        dialog.OnInitDialog();
        song = WriteSong("bench_window_thread.mid");
        dialog.OpenFile(CString::FromUtf8(song), L"bench_window_thread.mid");
    }

    // Runs fn on the window's thread right after the device took a byte.
    void Time(const char* what, const std::function<void()>& fn)
    {
        device->WaitForBytes(device->Bytes().size() + 1, 200);
        const Clock::time_point start = Clock::now();
        fn();
        Record(what, Clock::now() - start);
    }
    void Record(const char* what, Clock::duration spent)
    {
        double& longest = longestMs[what];
        longest = std::max(longest, Millis(spent));
    }
    // Starts the song on a device that keeps up, then makes it slow.
    void Play()
    {
        device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
        Command(1001);
        for (int i = 0; i < 5000 && dialog.m_playerState.m_playState != STATE_PLAYING; ++i)
            Sleep(1);
        device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 95);
    }
    void Command(int id)
    {
        SendMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(dialog.m_hWnd));
    }
    // Lets the player thread finish quickly what it still sends, then runs
    // what it posted (the notice of the stop among it), timed.
    void Settle()
    {
        device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
        for (int i = 0; i < 5000 && dialog.m_playerState.m_playState != STATE_STOPPED; ++i)
            Sleep(1);
        Sleep(20);
        MSG msg;
        while (TakePostedMessage(dialog.m_hWnd, &msg)) {
            const Clock::time_point start = Clock::now();
            SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            if (msg.message == WM_COMMAND && LOWORD(msg.wParam) == 1007)
                Record("stopped notice", Clock::now() - start);
        }
        device->SetReadiness(CFakeDevice::READY_AFTER_DELAY, 95);
    }

    std::shared_ptr<CFakeDevice> device { CFakeDevice::Create(L"bench-slow") };
    CTabrinoDlg dialog;
    std::string song;
    std::map<std::string, double> longestMs;
};

}

int main(int argc, char** argv)
{
    const int repeats = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 5;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TempConfigHome config;
    Bench bench;
    for (int round = 0; round < repeats; ++round) {
        bench.Play();
        bench.Time("volume slider", [&] {
            SendMessageW(bench.dialog.m_hWnd, WM_SKIN_SLIDER, 1016, MAKELPARAM(500 + round, SLIDER_NOTIFY_DRAG));
        });
        bench.Time("mute click", [&] { SendMessageW(bench.dialog.m_hWnd, WM_SKIN_METER, 3, 0); });
        bench.Time("seek (slider release)", [&] {
            SendMessageW(bench.dialog.m_hWnd, WM_SKIN_SLIDER, 1013, MAKELPARAM(100 * round, SLIDER_NOTIFY_UP));
        });
        bench.Time("stop", [&] { bench.Command(1002); });
        bench.Settle();
        bench.Play();
        bench.Time("open while playing", [&] {
            bench.dialog.OpenFile(CString::FromUtf8(bench.song), L"bench_window_thread.mid");
        });
        bench.Settle();
        std::fprintf(stderr, "round %d of %d done\n", round + 1, repeats);
    }
    // The large drop, stopped, on a device that keeps up.
    bench.device->SetReadiness(CFakeDevice::READY_EACH_BYTE);
    const std::string big = WriteRunningStatusSong("bench_window_thread_big.mid", 60u << 20);
    const Clock::time_point dropped = Clock::now();
    const Clock::time_point dropStart = Clock::now();
    SendMessageW(bench.dialog.m_hWnd, WM_DROPFILES,
        reinterpret_cast<WPARAM>(CreateDropFiles({ CString::FromUtf8(big) })), 0);
    bench.Record("drop of 60 MiB", Clock::now() - dropStart);
    while (bench.dialog.GetWindowText() != L"TabrinoCE - bench_window_thread_big.mid"
        && Clock::now() - dropped < std::chrono::seconds(120)) {
        MSG msg;
        if (!TakePostedMessage(bench.dialog.m_hWnd, &msg)) {
            Sleep(1);
            continue;
        }
        const Clock::time_point start = Clock::now();
        SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        bench.Record("message after the drop", Clock::now() - start);
    }
    std::printf("the 60 MiB song is in place %.0f ms after the drop\n", Millis(Clock::now() - dropped));
    std::remove(big.c_str());

    // A small song in its place: the large one is freed.
    const Clock::time_point replaced = Clock::now();
    bench.dialog.OpenFile(CString::FromUtf8(bench.song), L"bench_window_thread.mid");
    bench.Record("small song after it", Clock::now() - replaced);
    bench.Play();
    bench.Time("close", [&] { bench.dialog.DestroyWindow(); });
    std::printf("the window's thread, longest call over %d rounds, device at 95 ms a byte:\n", repeats);
    for (const auto& [what, ms] : bench.longestMs)
        std::printf("  %-24s %9.2f ms\n", what.c_str(), ms);
    std::remove(bench.song.c_str());
    return 0;
}
