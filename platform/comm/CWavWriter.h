#pragma once

#include "platform/core/WinTypes.h"

#include <atomic>
#include <string>

// A 16-bit PCM WAV file written as it goes. Finish puts the final sizes into
// the header, so the file is valid once it returns; into a pipe, FIFO or
// terminal ("-" is standard output) the header says from the start that the
// length is unknown (sizes 0xFFFFFFFF), as streaming tools write it. A write that fails (a
// full disk) ends the writing: the error is kept, and Finish cuts the file
// to the whole frames that did reach it, so the header never claims more
// than the file holds. Sound beyond the most the header can state fails the
// same way, with EFBIG.
class CWavWriter {
public:
    CWavWriter() = default;
    ~CWavWriter();
    CWavWriter(const CWavWriter&) = delete;
    CWavWriter& operator=(const CWavWriter&) = delete;

    // The most sound data a header can state, in bytes.
    static constexpr std::uint64_t MAX_DATA_BYTES = 0xFFFFFFFFull - 36;

    // FALSE (errno set) when the file cannot be created. A header that
    // cannot be written is the first failed write, not a failed open.
    // maxDataBytes lowers the limit of the sound data.
    bool Open(const std::string& path, int sampleRate, int channels, std::uint64_t maxDataBytes = MAX_DATA_BYTES);
    // Appends interleaved frames; FALSE, with what fits appended, once a
    // write has failed or the data reached its limit.
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
    bool m_streaming { false };
    std::uint64_t m_frames { 0 };
    std::uint64_t m_headerBytes { 0 };
    std::uint64_t m_dataBytes { 0 };
    std::uint64_t m_maxDataBytes { MAX_DATA_BYTES };
    std::atomic<int> m_error { 0 };
};
