#pragma once

#include "platform/comm/CFluidSynth.h"
#include "platform/comm/CMidiByteParser.h"
#include "platform/comm/CSoftPort.h"
#include "platform/comm/CWavRenderer.h"

#include <memory>
#include <string>

// The built-in General MIDI synthesizer: the byte stream is parsed back
// into messages and played, either on the sound card or rendered into a
// WAV file along the program's clock (see CWavRenderer). Ready after every
// byte.
class CSynthPort : public CSoftPort {
public:
    // wavPath empty: play on the sound card. Null with the last error set
    // when the synthesizer's library cannot be loaded, or the SoundFont, the
    // audio output or the file cannot be opened.
    static std::shared_ptr<CSynthPort> Open(const std::string& wavPath);
    ~CSynthPort() override;

    static void SetSoundFont(const std::string& path);
    static std::string SoundFont();
    // TRUE when the synthesizer loads the SoundFont; FALSE with the last
    // error set (no synthesizer library, no such file, not a SoundFont).
    static bool LoadsSoundFont(const std::string& path);
    static void SetAudioDriver(const std::string& driver);
    // TRUE when a sound output opens through the configured driver. The
    // synthesizer's complaints about drivers that fail are not printed.
    static bool SoundOutputOpens();

protected:
    BOOL Emit(BYTE byte) override;
    void OnClose() override;

private:
    explicit CSynthPort(const CFluidSynth& fluid) : m_fluid(fluid) { }
    void Play(const CMidiByteParser::Message& message);

    const CFluidSynth& m_fluid;
    std::mutex m_synthLock;
    fluid_settings_t* m_settings { nullptr };
    fluid_synth_t* m_synth { nullptr };
    fluid_audio_driver_t* m_driver { nullptr };
    std::unique_ptr<CWavRenderer> m_renderer;
    CMidiByteParser m_parser;
};
