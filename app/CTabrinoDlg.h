#pragma once

#include "app/CMediaControl.h"
#include "app/CRecentFiles.h"
#include "midiout/CSerialMidiOut.h"
#include "platform/core/CString.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/DragDrop.h"
#include "player/CMetronome.h"
#include "player/CPlayerEngine.h"
#include "player/CPlayerState.h"
#include "player/CPractice.h"
#include "player/CTransport.h"
#include "skin/CSkinDialog.h"

#include <atomic>
#include <memory>

class CMainThread;
class CSongViews;
class CSong;
class CTrack;
class CSkinSlider;
class CSkinMeter;
class CSkinText;
class CSkinLoopMarks;

// The main dialog: owner of the song, the player thread, the output stage
// and the face. It can be constructed without a window, so tools and tests
// load and play songs through it.
class CTabrinoDlg : public CSkinDialog {
public:
    explicit CTabrinoDlg(CWnd* parent = nullptr);
    ~CTabrinoDlg() override;

    // Builds the face, opens the port, starts the player thread and opens
    // m_strStartFile when one is named.
    BOOL OnInitDialog() override;
    // Stops playback, closes the port and saves the settings.
    BOOL DestroyWindow() override;
    void DoDataExchange(CDataExchange* dx) override;
    // The commands and slider notifications; painting and the stylus go to
    // the skin dialog, OK and Cancel to the framework.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnButtonFileopen();
    void OnButtonSettings();
    // WM_DROPFILES: opens the first MIDI file of the drop (or its first
    // file); a song that plays stops once the new one has loaded.
    void OnDropFiles(HDROP drop);
    LRESULT OnSkinSlider(WPARAM wParam, LPARAM lParam);
    void OnUpdateDisplay();
    void OnUpdateMeters();
    // The player stopped because the port failed: tells the user once and
    // closes the port, so the window runs on silently.
    void OnOutputFailed();
    // Makes the port the one in use and the one kept in the settings. It is
    // opened at once while stopped, otherwise at the next stop.
    void ChoosePort(const CString& port);
    // Opens a file as the open command does once the file is chosen: name
    // is the file's name as the title shows it. A file that cannot be
    // loaded changes nothing (FALSE, after a message).
    BOOL OpenFile(const CString& path, const CString& name);
    void LoadSettings();
    void SaveSettings();

    // Reads a Standard MIDI File and, when it was read whole, puts it in
    // place of m_pSongs and m_pTracks with the player state reset to it.
    // Otherwise shows why (the reason, then the file) and changes nothing.
    BOOL ReadFile(CString path);

    // Creates the player thread suspended and lets it run; FALSE, with
    // m_pThread null, when it cannot be created.
    BOOL StartPlayerThread();
    // One period of the player thread (called by that thread only).
    void PlayerPeriod();
    // Transport commands.
    void OnButtonPlay();
    void OnButtonStop();
    void OnButtonTempoup();
    void OnButtonTempodown();
    void OnButtonTransposeup();
    void OnButtonTransposedown();
    void StepTempo(int step);
    void StepTranspose(int step);
    void SetTranspose(int semitones);
    void SetPosition(LONGLONG tick);

    CFont m_fontSmall;
    CFont m_fontLarge;
    CSkinSlider* m_pVolumeSlider { nullptr };
    CSkinSlider* m_pPositionSlider { nullptr };
    CSkinMeter* m_pMeter { nullptr };
    CSkinText* m_pPositionTime { nullptr };
    CSkinText* m_pPositionBeat { nullptr };
    CSkinText* m_pLengthTime { nullptr };
    CSkinText* m_pLengthBeat { nullptr };
    CSkinText* m_pTempoText { nullptr };
    CSkinText* m_pTransposeText { nullptr };
    CSkinLoopMarks* m_pLoopMarks { nullptr };
    CMainThread* m_pThread { nullptr };
    CSong* m_pSongs { nullptr };
    CTrack* m_pTracks { nullptr };
    CSerialMidiOut m_output;
    CPlayerState m_playerState;
    CMetronome m_metronome;
    // The A-B loop, mutes and the metronome; a new song starts without them.
    CPractice m_practice { m_playerState, m_metronome };
    // The wheel's turn short of a whole notch.
    int m_nWheelRest { 0 };
    CString m_strPath;
    std::atomic<BOOL> m_bRefresh { FALSE };
    std::atomic<DWORD> m_dwLastRefresh { 0 };
    // Whether the readouts wait for a display refresh that was not due yet,
    // and whether the meters still move; while stopped, the player thread
    // posts refreshes only for these.
    std::atomic<BOOL> m_bDisplayPending { TRUE };
    std::atomic<BOOL> m_bMetersMoving { FALSE };
    // While set, the window's own timer runs the refreshes and the player
    // thread posts none.
    std::atomic<BOOL> m_bRefreshTimer { FALSE };
    // The player thread's own record of its refresh posts.
    CPlayerEngine::PostRecord m_displayPost;
    CPlayerEngine::PostRecord m_metersPost;
    HICON m_hIcon { nullptr };
    // Where the MIDI bytes go (a port name of the output stage; "none" opens
    // nothing), and the file to open at start-up (empty for none).
    CString m_strPort { L"synth" };
    CString m_strStartFile;
    // The port named on the command line, used instead of the setting for
    // this run; empty when none was named.
    CString m_strPortOverride;
    // The port kept in the settings; empty while none was ever chosen.
    CString m_strPortSetting;
    // The zoom the user asked for (1..4), remembered at close; 0 when the
    // window chose its own.
    int m_nZoom { 0 };
    // The songs opened last; read with the settings, saved at close.
    CRecentFiles m_recentFiles;
    // The dialog as the desktop's media controls see it.
    CMediaControl m_mediaControl { *this };
    // The lyrics and keyboard windows.
    std::unique_ptr<CSongViews> m_pViews;

private:
    // The transport commands on this dialog's player state and window.
    CTransport Transport();
    // Opens the chosen port once playback has stopped.
    void ApplyPendingPort();

    BOOL m_bPortPending { FALSE };
};
