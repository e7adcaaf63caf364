#include "player/CPracticeRender.h"

#include "platform/comm/Comm.h"
#include "platform/core/CFile.h"
#include "platform/core/DrivenTickCount.h"
#include "player/CDrivenPlayer.h"
#include "player/CPlayerHost.h"
#include "player/CPractice.h"
#include "player/CTransport.h"
#include "song/CSongFile.h"

#include <cwctype>

namespace {

// Longer names are cut in the file name.
constexpr size_t kFileNamePart = 32;

}

CPracticeRender::CPracticeRender(const Settings& settings)
    : m_settings(settings)
{
}

BOOL CPracticeRender::Run(const CString& songPath, const CString& wavPath)
{
    CSongFile file;
    if (!file.Load(songPath)) {
        m_error = file.FailureMessage(songPath);
        return FALSE;
    }
    CPlayerHost host;
    CPlayerState& state = host.m_playerState;
    host.TakeSong(file);
    state.m_drumChannel = m_settings.drumChannel;
    CTransport transport(state, nullptr, FALSE);
    transport.AdoptSong(host.m_pTracks);
    if (!host.m_pTracks || state.m_length == 0) {
        m_error = songPath + L" holds nothing to play";
        return FALSE;
    }
    if (m_settings.bpm > 0)
        transport.SetTempo(m_settings.bpm);
    if (m_settings.usPerQuarter > 0)
        state.m_usPerQuarter = m_settings.usPerQuarter;
    transport.SetTranspose(m_settings.transpose);
    const LONGLONG sound = state.m_tempoMap.MicrosAt(state.m_length, state.m_ppqn, state.m_usPerQuarter);
    if (sound < 0 || static_cast<ULONGLONG>(sound) > GetSynthWavCapacity()) {
        m_error = songPath + L" lasts longer than a WAV file can hold";
        return FALSE;
    }
    host.m_output.m_sendSysEx = m_settings.sendSysEx;
    host.m_output.m_reset = m_settings.reset;
    host.m_output.SetMix(m_settings.practice.m_mix);
    host.m_metronome.SetSettings(m_settings.click);
    CPractice practice(state, host.m_metronome);
    CPracticeOptions options = m_settings.practice;
    options.m_loopStart = options.m_loopEnd = 0;
    options.ApplyTo(practice);
    practice.SetMetronome(m_settings.metronome);
    host.m_countIn.SetSettings(CCountInSettings { m_settings.countIn.bars, false });

    // The file counts its sound on this thread's clock, from before it opens
    // until it is closed.
    ThreadDrivenTickCount clock;
    if (!host.m_output.OpenPort(L"synth:" + wavPath)) {
        m_error = L"Unable to write " + wavPath;
        return FALSE;
    }
    const LONGLONG length = state.m_length;
    transport.Play();
    CDrivenPlayer::Run(host, clock, [&] {
        const auto done = static_cast<std::int32_t>(std::min<LONGLONG>(state.m_currentTick, length) * 1000 / length);
        if (m_progress.exchange(done) != done && m_onProgress)
            m_onProgress(done);
        return m_cancel ? FALSE : TRUE;
    });
    CString failure;
    const BOOL failed = host.m_output.TakeWriteFailure(failure);
    host.m_output.ClosePort();
    if (failed || m_cancel) {
        m_error = failed ? failure : CString(L"Cancelled");
        CFile::Remove(wavPath);
        return FALSE;
    }
    m_progress = 1000;
    return TRUE;
}

CString CPracticeRender::PartFileName(int channel, const CString& name, const wchar_t* kind)
{
    std::wstring part;
    for (wchar_t c : std::wstring(name.GetString())) {
        if (part.size() >= kFileNamePart)
            break;
        const bool plain = (c < 0x80 && std::iswalnum(static_cast<wint_t>(c))) || c == L'-' || c == L'_';
        // Runs of other characters (spaces, slashes, dots) make one "_".
        if (plain)
            part += c;
        else if (!part.empty() && part.back() != L'_')
            part += L'_';
    }
    while (!part.empty() && part.back() == L'_')
        part.pop_back();
    if (part.empty())
        part = L"channel";
    wchar_t number[8];
    std::swprintf(number, 8, L"%02d-", channel + 1);
    return CString((number + part + L"-" + kind + L".wav").c_str());
}
