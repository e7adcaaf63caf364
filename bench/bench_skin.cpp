// Times the two paint paths of a running face: a dirty-only recomposition
// after one text changed, and the meter's changed-cell update of all
// sixteen bars. Prints the median and the mean of many runs.

#include "platform/gdi/CClientDC.h"
#include "skin/CFaceRenderer.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void Report(const char* name, std::vector<double>& micros)
{
    std::sort(micros.begin(), micros.end());
    const double mean = std::accumulate(micros.begin(), micros.end(), 0.0) / static_cast<double>(micros.size());
    std::printf("%-46s median %8.1f us   mean %8.1f us   (%zu runs)\n", name, micros[micros.size() / 2], mean,
        micros.size());
}

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

}

int main()
{
    CFaceRenderer face;
    if (!face.Render()) {
        std::fprintf(stderr, "bench_skin: skins missing\n");
        return 1;
    }
    const int runs = 2000;

    std::vector<double> redraw;
    for (int i = 0; i < runs; ++i) {
        face.m_layout.m_pPositionTime->SetText(i % 2 ? L"00:00:01,5" : L"00:00:01,6");
        CClientDC dc(&face.m_dialog);
        const auto start = Clock::now();
        face.m_dialog.RedrawControls(&dc, FALSE);
        redraw.push_back(Since(start));
    }
    Report("RedrawControls(all = FALSE), one text changed", redraw);

    CSkinMeter* meter = face.m_layout.m_pMeter;
    std::vector<double> cells;
    std::vector<double> levels;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        for (int bar = 0; bar < 16; ++bar) {
            const int level = (i + bar) % 2 ? 0 : -9000;
            meter->SetLevel(bar, level, level);
        }
        levels.push_back(Since(start));
        CClientDC dc(&face.m_dialog);
        start = Clock::now();
        meter->DrawChanged(&dc);
        cells.push_back(Since(start));
    }
    Report("CSkinMeter::SetLevel, sixteen bars", levels);
    Report("CSkinMeter::DrawChanged, sixteen changing bars", cells);
    return 0;
}
