#include "platform/comm/CSynthPort.h"

#include "platform/comm/AlsaMessages.h"

#include <cerrno>
#include <unistd.h>

namespace {

// A quarter louder than the synthesizer's quiet default, with headroom for
// a full General MIDI arrangement.
constexpr double kGain = 0.6;
constexpr int kDeviceId = 0x10;

std::mutex g_configLock;
// FluidSynth's set-up of a synthesizer (its settings, the synthesizer, the
// SoundFont) is not safe on two threads at once, and practice tracks render
// two at a time: synthesizers are made one after another.
std::mutex g_createLock;
std::string g_soundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
std::string g_audioDriver;

}

void CSynthPort::SetSoundFont(const std::string& path)
{
    std::lock_guard<std::mutex> guard(g_configLock);
    g_soundFont = path;
}

namespace {

// FALSE, with the last error set, for a SoundFont that cannot be read.
bool Readable(const std::string& soundFont)
{
    if (access(soundFont.c_str(), R_OK) == 0)
        return true;
    SetLastError(errno == ENOENT ? ERROR_SOUNDFONT_NOT_FOUND : static_cast<DWORD>(errno));
    return false;
}

}

std::string CSynthPort::SoundFont()
{
    std::lock_guard<std::mutex> guard(g_configLock);
    return g_soundFont;
}

bool CSynthPort::LoadsSoundFont(const std::string& path)
{
    const CFluidSynth* fluid = CFluidSynth::Get();
    if (!fluid)
        return false;
    if (!Readable(path))
        return false;
    fluid_settings_t* settings = fluid->new_fluid_settings();
    fluid_synth_t* synth = settings ? fluid->new_fluid_synth(settings) : nullptr;
    if (!synth) {
        if (settings)
            fluid->delete_fluid_settings(settings);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // The synthesizer's own complaint would go to standard error; the
    // caller tells the user.
    for (int level : { FLUID_PANIC, FLUID_ERR, FLUID_WARN })
        fluid->fluid_set_log_function(level, nullptr, nullptr);
    const bool loads = fluid->fluid_synth_sfload(synth, path.c_str(), 1) != FLUID_FAILED;
    for (int level : { FLUID_PANIC, FLUID_ERR, FLUID_WARN })
        fluid->fluid_set_log_function(level, fluid->fluid_default_log_function, nullptr);
    fluid->delete_fluid_synth(synth);
    fluid->delete_fluid_settings(settings);
    if (!loads)
        SetLastError(ERROR_BAD_SOUNDFONT);
    return loads;
}

void CSynthPort::SetAudioDriver(const std::string& driver)
{
    std::lock_guard<std::mutex> guard(g_configLock);
    g_audioDriver = driver;
}

bool CSynthPort::SoundOutputOpens()
{
    std::string driver;
    {
        std::lock_guard<std::mutex> guard(g_configLock);
        driver = g_audioDriver;
    }
    const CFluidSynth* fluid = CFluidSynth::Get();
    if (!fluid)
        return false;
    fluid_settings_t* settings = fluid->new_fluid_settings();
    if (!settings)
        return false;
    if (!driver.empty())
        fluid->fluid_settings_setstr(settings, "audio.driver", driver.c_str());
    SilenceAlsaMessages();
    for (int level : { FLUID_PANIC, FLUID_ERR, FLUID_WARN })
        fluid->fluid_set_log_function(level, nullptr, nullptr);
    fluid_synth_t* synth = fluid->new_fluid_synth(settings);
    fluid_audio_driver_t* output = synth ? fluid->new_fluid_audio_driver(settings, synth) : nullptr;
    bool opens = output != nullptr;
    if (output)
        fluid->delete_fluid_audio_driver(output);
    if (synth)
        fluid->delete_fluid_synth(synth);
    fluid->delete_fluid_settings(settings);
    for (int level : { FLUID_PANIC, FLUID_ERR, FLUID_WARN })
        fluid->fluid_set_log_function(level, fluid->fluid_default_log_function, nullptr);
    return opens;
}

std::shared_ptr<CSynthPort> CSynthPort::Open(const std::string& wavPath)
{
    std::string soundFont, driver;
    {
        std::lock_guard<std::mutex> guard(g_configLock);
        soundFont = g_soundFont;
        driver = g_audioDriver;
    }
    // The library loads with the first synthesizer; without it no port of
    // this kind opens, and the error says why.
    const CFluidSynth* fluid = CFluidSynth::Get();
    if (!fluid)
        return nullptr;
    if (!Readable(soundFont))
        return nullptr;
    std::lock_guard<std::mutex> creating(g_createLock);
    std::shared_ptr<CSynthPort> port(new CSynthPort(*fluid));
    port->m_settings = fluid->new_fluid_settings();
    if (!port->m_settings) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    fluid->fluid_settings_setnum(port->m_settings, "synth.gain", kGain);
    // GS and XG messages address device 0x10 (a module's device number as
    // it leaves the factory); the synthesizer acts only on messages for its
    // own number or for all devices.
    fluid->fluid_settings_setint(port->m_settings, "synth.device-id", kDeviceId);
    if (!driver.empty())
        fluid->fluid_settings_setstr(port->m_settings, "audio.driver", driver.c_str());
    port->m_synth = fluid->new_fluid_synth(port->m_settings);
    if (!port->m_synth) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (fluid->fluid_synth_sfload(port->m_synth, soundFont.c_str(), 1) == FLUID_FAILED) {
        SetLastError(ERROR_BAD_SOUNDFONT);
        return nullptr;
    }
    if (wavPath.empty()) {
        port->m_driver = fluid->new_fluid_audio_driver(port->m_settings, port->m_synth);
        if (!port->m_driver) {
            SetLastError(ENODEV);
            return nullptr;
        }
    } else {
        double rate = 44100;
        fluid->fluid_settings_getnum(port->m_settings, "synth.sample-rate", &rate);
        port->m_renderer = CWavRenderer::Start(*fluid, port->m_synth, wavPath, static_cast<int>(rate));
        if (!port->m_renderer) {
            SetLastError(static_cast<DWORD>(errno));
            return nullptr;
        }
    }
    return port;
}

CSynthPort::~CSynthPort()
{
    OnClose();
    if (m_synth)
        m_fluid.delete_fluid_synth(m_synth);
    if (m_settings)
        m_fluid.delete_fluid_settings(m_settings);
}

void CSynthPort::OnClose()
{
    // Stops the sound output first: the synthesizer itself lives on until
    // no call uses the port any more.
    std::lock_guard<std::mutex> guard(m_synthLock);
    if (m_driver) {
        m_fluid.delete_fluid_audio_driver(m_driver);
        m_driver = nullptr;
    }
    if (m_renderer) {
        m_renderer->Stop();
        m_renderer.reset();
    }
}

BOOL CSynthPort::Emit(BYTE byte)
{
    std::lock_guard<std::mutex> guard(m_synthLock);
    // A WAV file that can take no more (a full disk) fails every byte: what
    // is played would never be heard.
    if (int error = m_renderer ? m_renderer->Error() : 0) {
        SetLastError(static_cast<DWORD>(error));
        return FALSE;
    }
    CMidiByteParser::Message message;
    if (m_parser.Feed(byte, message)) {
        // The sound so far goes into the file first, so that the message
        // starts where it was played.
        if (!m_renderer) {
            Play(message);
        } else if (!m_renderer->CatchUp([&] { Play(message); })) {
            SetLastError(static_cast<DWORD>(m_renderer->Error()));
            return FALSE;
        }
    }
    return TRUE;
}

void CSynthPort::Play(const CMidiByteParser::Message& message)
{
    int channel = message.status & 0x0F;
    switch (message.status & 0xF0) {
    case 0x80:
        m_fluid.fluid_synth_noteoff(m_synth, channel, message.data1);
        break;
    case 0x90:
        if (message.data2 == 0)
            m_fluid.fluid_synth_noteoff(m_synth, channel, message.data1);
        else
            m_fluid.fluid_synth_noteon(m_synth, channel, message.data1, message.data2);
        break;
    case 0xA0:
        m_fluid.fluid_synth_key_pressure(m_synth, channel, message.data1, message.data2);
        break;
    case 0xB0:
        m_fluid.fluid_synth_cc(m_synth, channel, message.data1, message.data2);
        break;
    case 0xC0:
        m_fluid.fluid_synth_program_change(m_synth, channel, message.data1);
        break;
    case 0xD0:
        m_fluid.fluid_synth_channel_pressure(m_synth, channel, message.data1);
        break;
    case 0xE0:
        m_fluid.fluid_synth_pitch_bend(m_synth, channel, message.data1 | (message.data2 << 7));
        break;
    default:
        if (message.status == 0xF0 && message.sysex.size() > 2) {
            m_fluid.fluid_synth_sysex(m_synth, reinterpret_cast<const char*>(message.sysex.data() + 1),
                static_cast<int>(message.sysex.size() - 2), nullptr, nullptr, nullptr, 0);
        } else if (message.status == 0xFF) {
            m_fluid.fluid_synth_system_reset(m_synth);
        }
        break;
    }
}
