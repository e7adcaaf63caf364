#pragma once

#include <vector>

// The bytes of small Standard MIDI Files that tests and benchmarks write.

// Appends value as a variable-length quantity.
inline void PutVarLen(std::vector<unsigned char>& out, unsigned long value)
{
    unsigned char bytes[5];
    int n = 0;
    do {
        bytes[n++] = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n > 1)
        out.push_back(static_cast<unsigned char>(bytes[--n] | 0x80));
    out.push_back(bytes[0]);
}

// Appends a track chunk: "MTrk", the events' length, the events.
inline void PutTrackChunk(std::vector<unsigned char>& file, const std::vector<unsigned char>& events)
{
    file.insert(file.end(), { 'M', 'T', 'r', 'k' });
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<unsigned char>(events.size() >> shift));
    file.insert(file.end(), events.begin(), events.end());
}
