// What a cut costs: a start in mid-song sends the all-off, the volume
// broadcast and then the song's state at the position (see CSongState).
// For a seek to 90 % of relax_song.mid and of the largest song of the
// openttd-openmsx corpus, reports the messages the start sent besides the
// all-off and volume groups (the events due at the position itself
// included), the time the player thread took for the start with the capture
// port, and the time of gathering the state alone (best of 20). Then the
// gathering alone on a long made-up song: 16 tracks of 125,000 events each
// (notes, a modulation sweep, bends), at its end.
//
// Usage: bench_cut

#include "app/CTabrinoDlg.h"
#include "platform/core/DrivenTickCount.h"
#include "player/CPlayerEngine.h"
#include "player/CTrackPlayer.h"
#include "player/CTransport.h"
#include "song/CSongState.h"
#include "song/CTrack.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
const char* const kCorpus = "/usr/share/games/openttd/baseset/openmsx";

double MicrosSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The best of rounds times of working out the state at the tracks'
// cursors, in microseconds; settings gets how many it holds.
double Gather(CTrack* tracks, int rounds, size_t& settings)
{
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const auto at = Clock::now();
        CSongState songState;
        std::uint32_t order = 0;
        CRing::ForEach(tracks, [&](CTrack* track) { CTrackPlayer::OfferPlayed(*track, order++, songState); });
        songState.Finish();
        best = std::min(best, MicrosSince(at));
        settings = songState.Messages().size() + songState.SysExes().size();
    }
    return best;
}

void Cut(const std::string& file)
{
    CTabrinoDlg dialog;
    CPlayerState& state = dialog.m_playerState;
    dialog.OpenFile(CString::FromUtf8(file), CString());
    if (!dialog.m_pTracks || state.m_length == 0) {
        std::printf("%s: nothing to play\n", file.c_str());
        return;
    }
    const std::string capture = (std::filesystem::temp_directory_path() / "bench_cut_capture.txt").string();
    if (!dialog.m_output.OpenPort(CString::FromUtf8("capture:" + capture))) {
        std::printf("%s: the capture port cannot be opened\n", file.c_str());
        return;
    }
    DrivenTickCount clock(0);
    const LONGLONG tick = state.m_length * 9 / 10;
    CTransport transport(state, nullptr, FALSE);
    transport.SetPosition(tick);
    transport.Play();
    const auto started = Clock::now();
    CPlayerEngine::RunPeriod(dialog);
    const double startMicros = MicrosSince(started);
    transport.Stop();
    CPlayerEngine::RunPeriod(dialog);
    dialog.m_output.ClosePort();

    // Status bytes up to the first all-off of the stop, less the start's
    // all-off (48) and volume (16) messages.
    std::ifstream in(capture);
    long long micros;
    std::string hex;
    std::vector<int> bytes;
    while (in >> micros >> hex)
        bytes.push_back(std::stoi(hex, nullptr, 16));
    size_t messages = 0;
    for (size_t i = 0; i + 2 < bytes.size(); ++i) {
        if (i > 64 * 3 && bytes[i] == 0xB0 && bytes[i + 1] == 120)
            break;
        messages += bytes[i] >= 0x80;
    }
    std::filesystem::remove(capture);

    size_t settings = 0;
    const double best = Gather(dialog.m_pTracks, 20, settings);
    std::printf("%s: seek to %lld of %lld: %zu messages after the all-off and volumes (%zu of the state);"
                " start %.0f us with the capture port, state gathered in %.1f us\n",
        std::filesystem::path(file).filename().c_str(), static_cast<long long>(tick),
        static_cast<long long>(state.m_length.load()), messages - 64, settings, startMicros, best);
}

void LongSong()
{
    CTrack* tracks = nullptr;
    for (int n = 0; n < 16; ++n) {
        auto* track = new CTrack;
        track->Reserve(125000, 0);
        const BYTE channel = static_cast<BYTE>(n);
        for (int i = 0; i < 125000; i += 5) {
            track->AddEvent(10, static_cast<BYTE>(0x90 | channel), 60, 100);
            track->AddEvent(0, static_cast<BYTE>(0xB0 | channel), 1, static_cast<BYTE>(i % 128));
            track->AddEvent(0, static_cast<BYTE>(0xE0 | channel), 0, static_cast<BYTE>(i % 128));
            track->AddEvent(10, static_cast<BYTE>(0x80 | channel), 60, 0);
            track->AddEvent(0, static_cast<BYTE>(0xB0 | channel), 11, static_cast<BYTE>(i % 100));
        }
        // Played to the end.
        track->m_currentEvent = track->m_firstEvent;
        track->m_finished = TRUE;
        CRing::Append(tracks, track);
    }
    size_t messages = 0;
    const double best = Gather(tracks, 5, messages);
    std::printf("a made-up song of 2,000,000 events: state gathered at its end in %.1f ms, %zu messages\n", best / 1000,
        messages);
    CRing::Clear(tracks);
}

}

int main()
{
    std::error_code error;
    std::string largest;
    std::uintmax_t largestSize = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus, error)) {
        if (entry.path().extension() == ".mid" && entry.file_size() > largestSize) {
            largestSize = entry.file_size();
            largest = entry.path().string();
        }
    }
    const std::string relax = std::string(kCorpus) + "/relax_song.mid";
    if (std::filesystem::exists(relax)) {
        Cut(relax);
        Cut(largest);
    } else {
        std::printf("openttd-openmsx is not installed: its songs are skipped\n");
    }
    LongSong();
    return 0;
}
