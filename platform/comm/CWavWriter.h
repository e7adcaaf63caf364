#pragma once

#include "platform/core/WinTypes.h"

#include <atomic>
#include <string>

// A 16-bit PCM WAV file written as it goes. Finish puts the final sizes into
// the header, so the file is valid once it returns. A write that fails (a
// full disk) ends the writing: the error is kept, and Finish cuts the file
// to the whole frames that did reach it, so the header never claims more
// than the file holds.
class CWavWriter {
public:
    CWavWriter() = default;
    ~CWavWriter();
    CWavWriter(const CWavWriter&) = delete;
    CWavWriter& operator=(const CWavWriter&) = delete;

    // FALSE (errno set) when the file cannot be created. A header that
    // cannot be written is the first failed write, not a failed open.
    bool Open(const std::string& path, int sampleRate, int channels);
    // Appends interleaved frames; FALSE once a write has failed.
    bool Append(const std::int16_t* samples, std::size_t frames);
    void Finish();
    // Frames handed to Append and not refused.
    std::uint64_t Frames() const { return m_frames; }
    // The error code of the first failed write; 0 while none failed. Any
    // thread may ask.
    int Error() const { return m_error; }

private:
    bool Put(const unsigned char* bytes, std::size_t count, std::uint64_t& written);
    void Header(unsigned char* out, std::uint32_t dataBytes) const;

    int m_fd { -1 };
    int m_sampleRate { 0 };
    int m_channels { 0 };
    std::uint64_t m_frames { 0 };
    std::uint64_t m_headerBytes { 0 };
    std::uint64_t m_dataBytes { 0 };
    std::atomic<int> m_error { 0 };
};
