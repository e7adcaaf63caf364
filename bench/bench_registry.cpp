// Times the settings file at start-up and close with files of growing size:
// the player's own values (drum channel, zoom, eight recent files) beside
// many foreign keys. Both should grow in proportion to the file's size.

#include "app/CTabrinoDlg.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void WriteFile(const std::string& path, int keys)
{
    std::ofstream out(path, std::ios::binary);
    out << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,30,00\n\n";
    for (int i = 0; i < keys; ++i)
        out << "[HKEY_CURRENT_USER\\Software\\Other\\Key" << i << "]\n\"Value\"=hex(1):61,62,63,00\n\n";
}

}

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tabrino-bench-XXXXXX").string();
    const std::string dir = ::mkdtemp(pattern.data());
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const std::string path = dir + "/TabrinoCE/registry.reg";
    std::filesystem::create_directories(dir + "/TabrinoCE");

    for (int keys : { 0, 500, 5000, 10000 }) {
        double load = 1e9, save = 1e9;
        size_t size = 0;
        for (int run = 0; run < 3; ++run) {
            // A new file each time, as a new start of the program finds it.
            WriteFile(path, keys);
            size = std::filesystem::file_size(path);
            CTabrinoDlg dialog;
            dialog.m_nZoom = 2;
            for (int i = 0; i < 8; ++i)
                dialog.m_recentFiles.Add(CString::FromUtf8("/home/someone/Music/MIDI/song " + std::to_string(i) + ".mid"));
            auto start = Clock::now();
            dialog.LoadSettings();
            load = std::min(load, Since(start));
            start = Clock::now();
            dialog.SaveSettings();
            save = std::min(save, Since(start));
        }
        std::printf("%6d foreign keys, %8zu bytes: start-up read %8.2f ms   close write %8.2f ms\n", keys,
            size, load, save);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
