#pragma once

#include "tests/SmfBytes.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A dense song for the benchmarks, written to the temporary folder: 500
// ticks per quarter at 500000 us, a tick a millisecond. Every 10 ticks each
// of 16 channels ends its chord and strikes the next: 12800 messages a
// second. With words, a 17th track sings a syllable every quarter note as a
// karaoke file does, eight to a line. Returns the file's path.
inline std::string WriteDenseSong(double seconds, const std::string& name, bool words = false)
{
    const int chords = static_cast<int>(seconds * 100);
    const unsigned char tracks = words ? 18 : 17;
    std::vector<unsigned char> file { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, tracks, 0x01, 0xF4 };
    PutTrackChunk(file, { 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00 });
    for (int channel = 0; channel < 16; ++channel) {
        std::vector<unsigned char> track;
        auto chord = [channel](int k) {
            int base = 36 + 2 * channel + (k % 2) * 12;
            return std::vector<int> { base, base + 4, base + 7, base + 11 };
        };
        for (int k = 0; k <= chords; ++k) {
            bool first = true;
            auto put = [&](int status, int key, int velocity) {
                PutVarLen(track, first && k > 0 ? 10 : 0);
                first = false;
                track.insert(track.end(), { static_cast<unsigned char>(status | channel), static_cast<unsigned char>(key),
                                              static_cast<unsigned char>(velocity) });
            };
            if (k > 0) {
                for (int key : chord(k - 1))
                    put(0x80, key, 0);
            }
            if (k < chords) {
                for (int key : chord(k))
                    put(0x90, key, 90);
            }
        }
        track.insert(track.end(), { 0x00, 0xFF, 0x2F, 0x00 });
        PutTrackChunk(file, track);
    }
    if (words) {
        std::vector<unsigned char> track;
        for (int syllable = 0; syllable < chords / 50; ++syllable) {
            const std::string text = (syllable % 8 == 0 ? "/la" : "la") + std::to_string(syllable % 8) + " ";
            PutVarLen(track, syllable == 0 ? 0 : 500);
            track.insert(track.end(), { 0xFF, 0x01, static_cast<unsigned char>(text.size()) });
            track.insert(track.end(), text.begin(), text.end());
        }
        track.insert(track.end(), { 0x00, 0xFF, 0x2F, 0x00 });
        PutTrackChunk(file, track);
    }
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return path;
}
