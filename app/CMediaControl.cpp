#include "app/CMediaControl.h"

#include "app/CTabrinoDlg.h"
#include "app/SongFileNames.h"
#include "song/CSong.h"
#include "song/CTrack.h"

#include <algorithm>
#include <cmath>

const MEDIAPLAYERINFO CMediaControl::kPlayerInfo = { L"tabrino", L"TabrinoCE", L"tabrino" };

CMediaControl::CMediaControl(CTabrinoDlg& dialog)
    : m_dialog(dialog)
{
}

CString CMediaControl::SongTitle() const
{
    return TitleOf(m_dialog.m_pTracks, m_dialog.m_strPath);
}

CString CMediaControl::TitleOf(const CTrack* tracks, const CString& path)
{
    if (tracks) {
        CString name = tracks->m_name;
        name.Trim();
        if (!name.IsEmpty())
            return name;
    }
    return FileNameOf(path);
}

void CMediaControl::GetMediaStatus(MEDIASTATUS& status)
{
    const CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG ppqn = state.m_ppqn;
    const LONGLONG usPerQuarter = state.m_usPerQuarter;
    const LONGLONG position = state.m_currentTick;
    const bool loaded = m_dialog.m_pSongs != nullptr;
    if (state.m_playState != STATE_STOPPED)
        status.playback = MEDIA_PLAYING;
    else
        status.playback = loaded && position > 0 && position < state.m_length ? MEDIA_PAUSED : MEDIA_STOPPED;
    // Times along the song's tempo map at the tempo set, as the readouts.
    status.positionUs = state.m_tempoMap.MicrosAt(position, ppqn, usPerQuarter);
    status.lengthUs = state.m_tempoMap.MicrosAt(state.m_length, ppqn, usPerQuarter);
    status.songId = loaded ? static_cast<LONGLONG>(m_dialog.m_pSongs->m_serial) + 1 : 0;
    status.title = loaded ? SongTitle() : CString();
    status.path = loaded ? m_dialog.m_strPath : CString();
    status.volume = m_dialog.m_output.m_volume;
    // The user's tempo stands for the song's first tempo.
    const double first = static_cast<double>(state.m_tempoMap.FirstTempo());
    status.rate = first / static_cast<double>(usPerQuarter);
    status.minimumRate = first * CPlayerState::MIN_BPM / 60e6;
    status.maximumRate = first * CPlayerState::MAX_BPM / 60e6;
    status.canPlay = loaded && m_dialog.m_pThread ? TRUE : FALSE;
    status.canSeek = status.canPlay && state.m_length > 0 ? TRUE : FALSE;
    status.canGoNext = m_dialog.m_playlist.CanGoNext();
    status.canGoPrevious = m_dialog.m_playlist.CanGoPrevious();
    status.repeat = static_cast<int>(m_dialog.m_playlist.m_list.GetRepeat());
    status.shuffle = m_dialog.m_playlist.m_list.Shuffle() ? TRUE : FALSE;
}

BOOL CMediaControl::OnAppCommand(int command)
{
    const bool playing = m_dialog.m_playerState.m_playState != STATE_STOPPED;
    switch (command) {
    case APPCOMMAND_MEDIA_PLAY_PAUSE:
        if (playing)
            m_dialog.OnButtonStop();
        else
            m_dialog.OnButtonPlay();
        return TRUE;
    case APPCOMMAND_MEDIA_PLAY:
        if (!playing)
            m_dialog.OnButtonPlay();
        return TRUE;
    case APPCOMMAND_MEDIA_PAUSE:
        if (playing)
            m_dialog.OnButtonStop();
        return TRUE;
    case APPCOMMAND_MEDIA_STOP:
        m_dialog.OnButtonStop();
        m_dialog.SetPosition(0);
        return TRUE;
    case APPCOMMAND_MEDIA_NEXTTRACK:
        m_dialog.m_playlist.Next();
        return TRUE;
    case APPCOMMAND_MEDIA_PREVIOUSTRACK:
        m_dialog.m_playlist.Previous();
        return TRUE;
    default:
        return FALSE;
    }
}

void CMediaControl::SetPositionMicroseconds(LONGLONG microseconds)
{
    const CPlayerState& state = m_dialog.m_playerState;
    // The start of the beat at that time, as a seek with the slider.
    const LONGLONG tick = state.m_meterMap.BeatStart(
        state.m_tempoMap.TickAfter(0, microseconds < 0 ? 0 : microseconds, state.m_ppqn, state.m_usPerQuarter));
    const LONGLONG length = state.m_length;
    m_dialog.SetPosition(tick < 0 ? 0 : tick > length ? length : tick);
}

void CMediaControl::SetRateMillionths(LONGLONG rate)
{
    const double bpm = static_cast<double>(rate) * 60.0 / static_cast<double>(m_dialog.m_playerState.m_tempoMap.FirstTempo());
    m_dialog.SetTempo(static_cast<int>(std::lround(std::clamp<double>(bpm, CPlayerState::MIN_BPM, CPlayerState::MAX_BPM))));
}
