#pragma once

#include "platform/ui/MediaSession.h"

class CTabrinoDlg;
class CTrack;

// The main dialog as the desktop's media controls see it: its status, and
// the media commands (WM_APPCOMMAND) and the position, volume and rate
// requests (WM_MEDIA_SETPOSITION, WM_MEDIA_SETVOLUME, WM_MEDIA_SETRATE)
// that reach it from the media keys and the desktop's media widget.
// User-interface thread only.
class CMediaControl : public CMediaStatusSource {
public:
    // The player on the desktop: org.mpris.MediaPlayer2.tabrino, "TabrinoCE",
    // tabrino.desktop.
    static const MEDIAPLAYERINFO kPlayerInfo;

    explicit CMediaControl(CTabrinoDlg& dialog);

    // Playing while a song plays (or is asked to); paused when stopped
    // somewhere in a song; stopped at its start, at its end or without one.
    // Times are at the tempo now in force, as the face shows them; the rate
    // is that tempo against the song's own.
    void GetMediaStatus(MEDIASTATUS& status) override;

    // Play-pause toggles; play plays from the position; pause stops and
    // keeps the position; stop stops and goes back to the start. TRUE for a
    // command it knows.
    BOOL OnAppCommand(int command);
    // Moves the position to the beat at or before the time given.
    void SetPositionMicroseconds(LONGLONG microseconds);
    // Sets the tempo to the rate (in millionths) of the song's own tempo,
    // held within the tempo box's range.
    void SetRateMillionths(LONGLONG rate);

    // The song's name (the first track's name) or else the file's name.
    CString SongTitle() const;
    // The same for a song read apart from the window (tracks null for none).
    static CString TitleOf(const CTrack* tracks, const CString& path);

private:
    CTabrinoDlg& m_dialog;
};
