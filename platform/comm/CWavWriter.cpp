#include "platform/comm/CWavWriter.h"

#include <cstdint>
#include <vector>

namespace {

void Put16(std::FILE* file, std::uint16_t v)
{
    unsigned char b[2] = { static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8) };
    std::fwrite(b, 1, 2, file);
}

void Put32(std::FILE* file, std::uint32_t v)
{
    unsigned char b[4] = { static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24) };
    std::fwrite(b, 1, 4, file);
}

// The RIFF sizes are 32-bit: the data stops growing below that limit.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

}

CWavWriter::~CWavWriter()
{
    Finish();
}

bool CWavWriter::Open(const std::string& path, int sampleRate, int channels)
{
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        return false;
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_frames = 0;
    WriteHeader(0);
    return true;
}

void CWavWriter::WriteHeader(std::uint32_t dataBytes)
{
    std::fwrite("RIFF", 1, 4, m_file);
    Put32(m_file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, m_file);
    Put32(m_file, 16);
    Put16(m_file, 1);
    Put16(m_file, static_cast<std::uint16_t>(m_channels));
    Put32(m_file, static_cast<std::uint32_t>(m_sampleRate));
    Put32(m_file, static_cast<std::uint32_t>(m_sampleRate * m_channels * 2));
    Put16(m_file, static_cast<std::uint16_t>(m_channels * 2));
    Put16(m_file, 16);
    std::fwrite("data", 1, 4, m_file);
    Put32(m_file, dataBytes);
}

void CWavWriter::Append(const std::int16_t* samples, std::size_t frames)
{
    if (!m_file)
        return;
    std::uint64_t frameBytes = static_cast<std::uint64_t>(m_channels) * 2;
    std::uint64_t room = (kMaxDataBytes - m_frames * frameBytes) / frameBytes;
    if (frames > room)
        frames = static_cast<std::size_t>(room);
    std::size_t count = frames * static_cast<std::size_t>(m_channels);
    std::vector<unsigned char> bytes(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        auto v = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<unsigned char>(v);
        bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), m_file);
    m_frames += frames;
}

void CWavWriter::Finish()
{
    if (!m_file)
        return;
    std::fseek(m_file, 0, SEEK_SET);
    WriteHeader(static_cast<std::uint32_t>(m_frames * static_cast<std::uint64_t>(m_channels) * 2));
    std::fclose(m_file);
    m_file = nullptr;
}
