#pragma once

#include "app/CMediaControl.h"
#include "app/CPlaylistPlayer.h"
#include "app/CPlaylistWindow.h"
#include "app/CRecentFiles.h"
#include "app/CRememberedSongs.h"
#include "app/CSongLoader.h"
#include "platform/core/CString.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/DragDrop.h"
#include "player/CPlayerHost.h"
#include "player/CMixer.h"
#include "player/CPractice.h"
#include "skin/CSkinDialog.h"

#include <memory>

class CExportDlg;
class CPracticeTools;
class CSongViews;
class CSkinSlider;
class CSkinMeter;
class CSkinText;
class CSkinLoopMarks;
class CSongFile;
class CSongSettings;

// The main dialog: the face, and as the player's host the owner of the
// song, the player thread and the output stage. It can be constructed
// without a window, so tests load and play songs through it.
class CTabrinoDlg : public CSkinDialog, public CPlayerHost {
public:
    explicit CTabrinoDlg(CWnd* parent = nullptr);
    ~CTabrinoDlg() override;

    // The player thread's refresh commands come to this window.
    HWND PlayerWindow() const override { return GetSafeHwnd(); }

    // Builds the face, opens the port, starts the player thread and opens
    // m_startFiles (or m_strStartFile) as the playlist, else the playlist
    // kept from the last run.
    BOOL OnInitDialog() override;
    // Stops playback, saves the settings, hides the window, gives the
    // player thread up to CLOSE_WAIT milliseconds for the all-off and closes
    // the port.
    BOOL DestroyWindow() override;
    static constexpr DWORD CLOSE_WAIT = 2000;
    void DoDataExchange(CDataExchange* dx) override;
    // The commands and slider notifications; painting and the stylus go to
    // the skin dialog, OK and Cancel to the framework. After each message
    // that may change what the desktop's media controls show, they are told.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnButtonFileopen();
    void OnButtonSettings();
    // WM_DROPFILES: the drop's MIDI files, folders and playlists (or else
    // its files, which then say what they are not) become the playlist; a
    // song that plays stops once the first one has loaded.
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
    // Opens a file, read on this thread: name is the file's name as the
    // title shows it. A file that cannot be loaded changes nothing (FALSE,
    // after a message). A song that plays is stopped, and the new one takes
    // its place once the player thread has answered (OnPlayerStopped).
    BOOL OpenFile(const CString& path, const CString& name);
    // Opens a file as the open command does once the file is chosen: it is
    // read on a thread of its own while the title says so, and then goes
    // on as OpenFile (OnSongLoaded).
    void BeginOpen(const CString& path, const CString& name);
    void OnSongLoaded();
    // The player thread answered a stop: a port or a song that waited for
    // it takes over.
    void OnPlayerStopped();
    // The settings are read at start-up and written at close. Another window
    // (--new-window) may have written them meanwhile: what this one did not
    // change is left as that one wrote it, and the recent files of both are
    // kept.
    void LoadSettings();
    void SaveSettings();
    // "Forget this song's settings": the song in place goes back to its own
    // settings and its memory is dropped.
    void ForgetSong();
    // What the user sets for a song, as its memory keeps it.
    std::unique_ptr<CSongSettings> SongSettings();
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
    void SetTempo(int bpm);
    void SetPosition(LONGLONG tick);
    // The master volume (0..1000), the volume slider with it.
    void SetMasterVolume(int volume);
    // Puts a whole mix in force (a song's remembered one, once the song is
    // in place), the mixer window with it.
    void ApplyMixer(const CMixerValues& values);

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
    // The A-B loop, mutes and the metronome; a new song starts without them.
    CPractice m_practice { m_playerState, m_metronome };
    // The mixer's volumes, pans, emphasis and minus one; a new song starts
    // with every channel as in the song.
    CMixer m_mixer { m_output, m_playerState };
    // The wheel's turn short of a whole notch.
    int m_nWheelRest { 0 };
    CString m_strPath;
    HICON m_hIcon { nullptr };
    // Where the MIDI bytes go (a port name of the output stage; "none" opens
    // nothing), and the file to open at start-up (empty for none).
    CString m_strPort { L"synth" };
    CString m_strStartFile;
    std::vector<CString> m_startFiles;
    // The port named on the command line, used instead of the setting for
    // this run; empty when none was named.
    CString m_strPortOverride;
    // The song's system-exclusive messages (1 on, 0 off) and the reset
    // (CSerialMidiOut::Reset) as the settings keep them; the command line's
    // choice for this run (-1: none) goes before them until the user
    // chooses in the settings dialog.
    int m_nSendSysEx { 1 };
    int m_nReset { 0 };
    int m_nSendSysExOverride { -1 };
    int m_nResetOverride { -1 };
    // The SoundFont the settings keep (empty: the synthesizer's default),
    // and the one named on the command line for this run (empty: none).
    CString m_strSoundFont;
    CString m_strSoundFontOverride;
    // The port kept in the settings; empty while none was ever chosen.
    CString m_strPortSetting;
    // The zoom the user asked for (1..4), remembered at close; 0 when the
    // window chose its own.
    int m_nZoom { 0 };
    // The master volume at start-up: as remembered, or full.
    int m_nVolume { 1000 };
    // The songs opened last; read with the settings, saved at close.
    CRecentFiles m_recentFiles;
    // What the user set for each song, restored when it opens again.
    CRememberedSongs m_songMemory;
    // Reads the files the user opens.
    CSongLoader m_loader;
    // The dialog as the desktop's media controls see it.
    CMediaControl m_mediaControl { *this };
    // The songs to play one after another.
    CPlaylistPlayer m_playlist { *this };
    CPlaylistWindow m_playlistWindow { *this };
    // The lyrics and keyboard windows.
    std::unique_ptr<CSongViews> m_pViews;
    // The practice track export.
    std::unique_ptr<CExportDlg> m_pExport;
    // Count-in, metronome and trainer settings, markers and bookmarks; its
    // Set... calls apply a value to the running window.
    std::unique_ptr<CPracticeTools> m_pPracticeTools;

private:
    // Opens the chosen port once playback has stopped.
    void ApplyPendingPort();
    // Puts the song that waits for the stop in place, once stopped.
    void TakePendingSong();
    // A read song: shows why it failed (FALSE), or stops what plays and
    // puts it in place (at once, or once stopped).
    BOOL AcceptSong(std::unique_ptr<CSongFile> file, const CString& path, const CString& name);
    // Hands the SysEx and reset choices in force to the output stage.
    void ApplySoundChoices();
    // Makes the SoundFont the synthesizer's when it loads, and reopens a
    // synthesizer port on it (at the next stop); otherwise tells why and
    // keeps the one in use. FALSE when it did not load.
    BOOL ChooseSoundFont(const CString& path);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL m_bPortPending { FALSE };
    // A song read whole that waits for the playing one to stop.
    std::unique_ptr<CSongFile> m_pPendingSong;
    CString m_strPendingPath;
    CString m_strPendingName;
    // The title of the song in place while a file is read.
    CString m_strSongTitle;
    // The file name of the song in place, as the title shows it.
    CString m_strSongName;
    // The position jumped since the desktop was last told.
    BOOL m_bSeeked { FALSE };
    // The settings as they were read, to tell what this window changed.
    BYTE m_loadedDrumChannel { 9 };
    CString m_strLoadedPort;
    int m_nLoadedZoom { 0 };
    int m_nLoadedVolume { -1 };
    int m_nLoadedSendSysEx { 1 };
    int m_nLoadedReset { 0 };
    CString m_strLoadedSoundFont;
};
