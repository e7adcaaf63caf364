#pragma once

#include "midiout/CSerialMidiOut.h"
#include "platform/core/CString.h"
#include "player/CMetronome.h"
#include "player/CPlayerState.h"
#include "skin/CSkinDialog.h"

#include <atomic>

class CMainThread;
class CSong;
class CTrack;
class CSkinSlider;
class CSkinMeter;
class CSkinText;

// The main dialog: owner of the song, the player thread, the output stage
// and the face. It can be constructed without a window, so tools and tests
// load and play songs through it.
class CTabrinoDlg : public CSkinDialog {
public:
    explicit CTabrinoDlg(CWnd* parent = nullptr);
    ~CTabrinoDlg() override;

    // Reads a Standard MIDI File into m_pSongs and m_pTracks.
    void ReadFile(CString path);

    // One period of the player thread (called by that thread only).
    void PlayerPeriod();
    // Transport commands.
    void OnButtonPlay();
    void OnButtonStop();
    void OnButtonTempoup();
    void OnButtonTempodown();
    void OnButtonTransposeup();
    void OnButtonTransposedown();
    void SetPosition(LONGLONG tick);

    CSkinSlider* m_pVolumeSlider { nullptr };
    CSkinSlider* m_pPositionSlider { nullptr };
    CSkinMeter* m_pMeter { nullptr };
    CSkinText* m_pPositionTime { nullptr };
    CSkinText* m_pPositionBeat { nullptr };
    CSkinText* m_pLengthTime { nullptr };
    CSkinText* m_pLengthBeat { nullptr };
    CSkinText* m_pTempoText { nullptr };
    CSkinText* m_pTransposeText { nullptr };
    CMainThread* m_pThread { nullptr };
    CSong* m_pSongs { nullptr };
    CTrack* m_pTracks { nullptr };
    CSerialMidiOut m_output;
    CPlayerState m_playerState;
    CMetronome m_metronome;
    CString m_strPath;
    std::atomic<BOOL> m_bRefresh { FALSE };
    std::atomic<DWORD> m_dwLastRefresh { 0 };
    HICON m_hIcon { nullptr };
};
