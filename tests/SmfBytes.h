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

// The file in an RMID wrapper: "RIFF" and its size, the form "RMID", a list
// chunk of odd length (padded to an even one, as RIFF has it) and the data
// chunk that holds the file; RIFF's numbers are little-endian.
inline std::vector<unsigned char> WrapRmid(const std::vector<unsigned char>& smf)
{
    auto put32 = [](std::vector<unsigned char>& out, size_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<unsigned char>(value >> shift));
    };
    std::vector<unsigned char> form { 'R', 'M', 'I', 'D', 'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0, 'd', 'a', 't', 'a' };
    put32(form, smf.size());
    form.insert(form.end(), smf.begin(), smf.end());
    std::vector<unsigned char> file { 'R', 'I', 'F', 'F' };
    put32(file, form.size());
    file.insert(file.end(), form.begin(), form.end());
    return file;
}
