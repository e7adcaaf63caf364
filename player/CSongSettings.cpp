#include "player/CSongSettings.h"

#include "player/CMixer.h"
#include "player/CPlayerHost.h"
#include "player/CPractice.h"

#include <charconv>

namespace {

// A whole number within low..high that makes up the whole text.
bool ParseNumber(std::string_view text, long long low, long long high, long long& value)
{
    const char* end = text.data() + text.size();
    long long parsed = 0;
    auto [rest, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || rest != end || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

// Channels as the meter counts them, from 1, separated by commas ("2,10");
// empty for none.
std::string ChannelList(std::uint32_t channels)
{
    std::string text;
    for (int n = 0; n < 16; ++n) {
        if (channels & (1u << n))
            text += (text.empty() ? "" : ",") + std::to_string(n + 1);
    }
    return text;
}

bool ParseChannelList(std::string_view text, std::uint32_t& channels)
{
    channels = 0;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        long long channel = 0;
        if (!ParseNumber(text.substr(0, comma), 1, 16, channel))
            return false;
        channels |= 1u << (channel - 1);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return true;
}

}

const CSongSettings::Entry CSongSettings::kEntries[] = {
    { "Tempo", &CaptureTempo, &ApplyTempo, false },
    { "Transpose", &CaptureTranspose, &ApplyTranspose, false },
    { "Mutes", &CaptureMutes, &ApplyMutes, false },
    { "Solo", &CaptureSolo, &ApplySolo, false },
    { "Loop", &CaptureLoop, &ApplyLoop, false },
    { "Mixer", &CaptureMixer, &ApplyMixer, false },
    { "CountIn", &CaptureCountIn, &ApplyCountIn, true },
    { "Trainer", &CaptureTrainer, &ApplyTrainer, true },
};

CSongSettings::CSongSettings(CPlayerHost& host, CPractice& practice, CMixer* mixer)
    : m_host(host)
    , m_practice(practice)
    , m_pMixer(mixer)
{
    for (const Entry& entry : kEntries) {
        m_settings.push_back({ entry.name, [this, capture = entry.capture] { return capture(*this); },
            [this, apply = entry.apply](std::string_view text) { return apply(*this, text); }, entry.carried });
    }
}

void CSongSettings::SetEntry(const std::string& name, CaptureFn capture, ApplyFn apply, bool carried)
{
    Setting setting { name, std::move(capture), std::move(apply), carried };
    for (Setting& existing : m_settings) {
        if (existing.name == name) {
            existing = std::move(setting);
            return;
        }
    }
    m_settings.push_back(std::move(setting));
}

CSongMemory::Record CSongSettings::Capture() const
{
    CSongMemory::Record record;
    for (const Setting& setting : m_settings)
        record[setting.name] = setting.capture();
    return record;
}

void CSongSettings::Apply(const CSongMemory::Record& record)
{
    for (const Setting& setting : m_settings) {
        const auto found = record.find(setting.name);
        if (found != record.end())
            setting.apply(found->second);
    }
}

bool CSongSettings::Carried(const std::string& name) const
{
    for (const Setting& setting : m_settings) {
        if (name == setting.name)
            return setting.carried;
    }
    return false;
}

std::string CSongSettings::CaptureTempo(const CSongSettings& s)
{
    return std::to_string(s.m_host.m_playerState.m_bpm.load());
}

bool CSongSettings::ApplyTempo(CSongSettings& s, std::string_view text)
{
    long long bpm = 0;
    if (!ParseNumber(text, CTransport::MIN_BPM, CTransport::MAX_BPM, bpm))
        return false;
    s.m_host.Transport().SetTempo(static_cast<std::int32_t>(bpm));
    return true;
}

std::string CSongSettings::CaptureTranspose(const CSongSettings& s)
{
    return std::to_string(s.m_host.m_playerState.m_transpose.load());
}

bool CSongSettings::ApplyTranspose(CSongSettings& s, std::string_view text)
{
    long long semitones = 0;
    if (!ParseNumber(text, -CTransport::MAX_TRANSPOSE, CTransport::MAX_TRANSPOSE, semitones))
        return false;
    s.m_host.Transport().SetTranspose(static_cast<std::int32_t>(semitones));
    return true;
}

std::string CSongSettings::CaptureMutes(const CSongSettings& s)
{
    // Under a solo, the mutes it gives back when it ends.
    std::uint32_t muted = 0;
    if (s.m_practice.SoloChannel() >= 0) {
        muted = s.m_practice.MutedBeforeSolo();
    } else {
        for (int n = 0; n < 16; ++n)
            muted |= s.m_practice.IsMuted(n) ? 1u << n : 0u;
    }
    return ChannelList(muted);
}

bool CSongSettings::ApplyMutes(CSongSettings& s, std::string_view text)
{
    std::uint32_t muted = 0;
    if (!ParseChannelList(text, muted))
        return false;
    s.m_practice.UnmuteAll();
    for (int n = 0; n < 16; ++n) {
        if (muted & (1u << n))
            s.m_practice.SetMuted(n, TRUE);
    }
    return true;
}

std::string CSongSettings::CaptureSolo(const CSongSettings& s)
{
    const int channel = s.m_practice.SoloChannel();
    return channel < 0 ? std::string() : std::to_string(channel + 1);
}

bool CSongSettings::ApplySolo(CSongSettings& s, std::string_view text)
{
    long long channel = 0;
    if (!text.empty() && !ParseNumber(text, 1, 16, channel))
        return false;
    const int wanted = static_cast<int>(channel) - 1;
    const int now = s.m_practice.SoloChannel();
    if (now == wanted)
        return true;
    if (now >= 0)
        s.m_practice.ToggleSolo(now);
    if (wanted >= 0)
        s.m_practice.ToggleSolo(wanted);
    return true;
}

std::string CSongSettings::CaptureLoop(const CSongSettings& s)
{
    // "A B on", ticks, -1 for a point not set: "1536 3072 1".
    return std::to_string(s.m_practice.LoopStart()) + " " + std::to_string(s.m_practice.LoopEnd()) + " "
        + (s.m_practice.LoopOn() ? "1" : "0");
}

bool CSongSettings::ApplyLoop(CSongSettings& s, std::string_view text)
{
    // Points past the song's end cannot come from this song.
    const long long length = s.m_host.m_playerState.m_length;
    long long point[2] {};
    long long on = 0;
    const size_t first = text.find(' ');
    const size_t second = first == std::string_view::npos ? first : text.find(' ', first + 1);
    if (second == std::string_view::npos || !ParseNumber(text.substr(0, first), -1, length, point[0])
        || !ParseNumber(text.substr(first + 1, second - first - 1), -1, length, point[1])
        || !ParseNumber(text.substr(second + 1), 0, 1, on))
        return false;
    CPractice& practice = s.m_practice;
    practice.ClearLoop();
    if (point[0] >= 0 && point[1] > point[0]) {
        practice.SetLoop(point[0], point[1]);
        practice.SetLoopOn(on ? TRUE : FALSE);
    } else if (point[0] >= 0 && point[1] < 0) {
        practice.SetLoopStart(point[0]);
    } else if (point[1] >= 0 && point[0] < 0) {
        practice.SetLoopEnd(point[1]);
    }
    return true;
}

std::string CSongSettings::CaptureMixer(const CSongSettings& s)
{
    // "" for the song's own mix, as without a mixer.
    return s.m_pMixer ? s.m_pMixer->Values().ToText() : std::string();
}

bool CSongSettings::ApplyMixer(CSongSettings& s, std::string_view text)
{
    CMixerValues values;
    if (!s.m_pMixer || !CMixerValues::FromText(std::string(text), values))
        return false;
    s.m_pMixer->Set(values);
    return true;
}

std::string CSongSettings::CaptureCountIn(const CSongSettings& s)
{
    return s.m_host.m_countIn.Settings().ToText();
}

bool CSongSettings::ApplyCountIn(CSongSettings& s, std::string_view text)
{
    CCountInSettings settings;
    if (!settings.FromText(text))
        return false;
    s.m_host.m_countIn.SetSettings(settings);
    return true;
}

std::string CSongSettings::CaptureTrainer(const CSongSettings& s)
{
    return s.m_host.m_trainer.Settings().ToText();
}

bool CSongSettings::ApplyTrainer(CSongSettings& s, std::string_view text)
{
    CSpeedTrainerSettings settings;
    if (!settings.FromText(text))
        return false;
    s.m_host.m_trainer.SetSettings(settings);
    return true;
}
