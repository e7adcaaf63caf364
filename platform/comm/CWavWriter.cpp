#include "platform/comm/CWavWriter.h"

#include "platform/comm/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kHeaderBytes = 44;
// The sizes of a stream whose length is not known when its header goes out.
constexpr std::uint32_t kUnknownSize = 0xFFFFFFFFu;

void Put16(unsigned char* at, std::uint16_t v)
{
    at[0] = static_cast<unsigned char>(v);
    at[1] = static_cast<unsigned char>(v >> 8);
}

void Put32(unsigned char* at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(v >> (8 * i));
}

}

CWavWriter::~CWavWriter()
{
    Finish();
}

bool CWavWriter::Open(const std::string& path, int sampleRate, int channels, std::uint64_t maxDataBytes)
{
    m_fd = OpenOutputFile(path);
    if (m_fd < 0)
        return false;
    // A pipe cannot be written again at its start: its header says from the
    // start that the length is unknown, as streaming tools write it.
    m_streaming = !IsSeekableFile(m_fd);
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_frames = 0;
    m_dataBytes = 0;
    m_headerBytes = 0;
    m_error = 0;
    m_maxDataBytes = std::min(maxDataBytes, MAX_DATA_BYTES);
    unsigned char header[kHeaderBytes];
    Header(header, m_streaming ? kUnknownSize : 0);
    Put(header, sizeof header, m_headerBytes);
    return true;
}

void CWavWriter::Header(unsigned char* out, std::uint32_t dataBytes) const
{
    std::memcpy(out, "RIFF", 4);
    Put32(out + 4, dataBytes == kUnknownSize ? kUnknownSize : 36 + dataBytes);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    Put32(out + 16, 16);
    Put16(out + 20, 1);
    Put16(out + 22, static_cast<std::uint16_t>(m_channels));
    Put32(out + 24, static_cast<std::uint32_t>(m_sampleRate));
    Put32(out + 28, static_cast<std::uint32_t>(m_sampleRate * m_channels * 2));
    Put16(out + 32, static_cast<std::uint16_t>(m_channels * 2));
    Put16(out + 34, 16);
    std::memcpy(out + 36, "data", 4);
    Put32(out + 40, dataBytes);
}

bool CWavWriter::Put(const unsigned char* bytes, std::size_t count, std::uint64_t& written)
{
    if (m_error != 0)
        return false;
    const std::size_t put = WriteFully(m_fd, bytes, count);
    written += put;
    if (put != count) {
        m_error = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

bool CWavWriter::Append(const std::int16_t* samples, std::size_t frames)
{
    if (m_fd < 0 || m_error != 0)
        return false;
    std::uint64_t frameBytes = static_cast<std::uint64_t>(m_channels) * 2;
    // The RIFF sizes are 32-bit: sound beyond them would be lost unsaid.
    std::uint64_t room = (m_maxDataBytes - m_frames * frameBytes) / frameBytes;
    const bool full = frames > room;
    if (full)
        frames = static_cast<std::size_t>(room);
    std::size_t count = frames * static_cast<std::size_t>(m_channels);
    std::vector<unsigned char> bytes(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        auto v = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<unsigned char>(v);
        bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    m_frames += frames;
    if (!Put(bytes.data(), bytes.size(), m_dataBytes))
        return false;
    if (full) {
        m_error = EFBIG;
        return false;
    }
    return true;
}

void CWavWriter::Finish()
{
    if (m_fd < 0)
        return;
    if (m_streaming) {
        // What went into a pipe is gone; its header said no length.
    } else if (m_headerBytes < kHeaderBytes) {
        // Not even the header went in: what is there is no WAV file.
        if (ftruncate(m_fd, 0) != 0) { }
    } else {
        std::uint64_t frameBytes = static_cast<std::uint64_t>(m_channels) * 2;
        std::uint64_t whole = m_dataBytes - m_dataBytes % frameBytes;
        if (whole != m_dataBytes && ftruncate(m_fd, static_cast<off_t>(kHeaderBytes + whole)) != 0) { }
        unsigned char header[kHeaderBytes];
        Header(header, static_cast<std::uint32_t>(whole));
        if (pwrite(m_fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) { }
    }
    close(m_fd);
    m_fd = -1;
}
