#pragma once

#include "platform/core/WinTypes.h"

#include <cstdio>
#include <string>

// A 16-bit PCM WAV file written as it goes; Finish puts the final sizes
// into the header, so the file is valid once it returns.
class CWavWriter {
public:
    CWavWriter() = default;
    ~CWavWriter();
    CWavWriter(const CWavWriter&) = delete;
    CWavWriter& operator=(const CWavWriter&) = delete;

    // FALSE (errno set) when the file cannot be created.
    bool Open(const std::string& path, int sampleRate, int channels);
    // Appends interleaved frames.
    void Append(const std::int16_t* samples, std::size_t frames);
    void Finish();
    std::uint64_t Frames() const { return m_frames; }

private:
    void WriteHeader(std::uint32_t dataBytes);

    std::FILE* m_file { nullptr };
    int m_sampleRate { 0 };
    int m_channels { 0 };
    std::uint64_t m_frames { 0 };
};
