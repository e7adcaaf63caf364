#pragma once

#include "platform/core/CString.h"

// The desktop session around a player window: the media keys and the
// desktop's media widget (the MPRIS interface on the session bus), and one
// player window per user. The window backend installs the service; without
// one (tools, tests) nothing is published and nothing is handed over.

// Media commands reach the window as WM_APPCOMMAND, the command in the high
// word of lParam (GET_APPCOMMAND_LPARAM), as the shell sends media keys.
#define WM_APPCOMMAND 0x0319
#define FAPPCOMMAND_MASK 0xF000
#define GET_APPCOMMAND_LPARAM(lParam) (static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)) & ~FAPPCOMMAND_MASK))
#define APPCOMMAND_MEDIA_STOP 13
#define APPCOMMAND_MEDIA_PLAY_PAUSE 14
#define APPCOMMAND_MEDIA_PLAY 46
#define APPCOMMAND_MEDIA_PAUSE 47
// The platform's own message, with no shell counterpart: move the playback
// position to lParam microseconds from the start.
#define WM_MEDIA_SETPOSITION 0x7FFF

// Files handed over by another start of the program (or the desktop's media
// widget) arrive as WM_DROPFILES, as if dropped on the window.

enum : int {
    MEDIA_STOPPED = 0,
    MEDIA_PLAYING = 1,
    MEDIA_PAUSED = 2,
};

// What the desktop's media controls show; asked for on the window's thread.
struct MEDIASTATUS {
    int playback { MEDIA_STOPPED };
    LONGLONG positionUs { 0 };
    LONGLONG lengthUs { 0 };
    // Changes with every song loaded; 0 while none is.
    LONGLONG songId { 0 };
    CString title;
    CString path;
    // 0..1000.
    int volume { 1000 };
    BOOL canPlay { FALSE };
    BOOL canSeek { FALSE };
};

// Implemented by the program: the status of its playback.
class CMediaStatusSource {
public:
    virtual ~CMediaStatusSource() = default;
    virtual void GetMediaStatus(MEDIASTATUS& status) = 0;
};

// Who the player is on the desktop.
struct MEDIAPLAYERINFO {
    // The bus name's last part: org.mpris.MediaPlayer2.<name>.
    LPCWSTR name;
    // The name people see, and the desktop entry's name without .desktop.
    LPCWSTR identity;
    LPCWSTR desktopEntry;
};

// The service a window backend installs.
class CMediaSessionService {
public:
    virtual ~CMediaSessionService() = default;
    virtual BOOL Publish(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info) = 0;
    virtual void Withdraw(HWND hwnd) = 0;
    virtual BOOL PassToRunningPlayer(const MEDIAPLAYERINFO& info, const CString& file) = 0;
};

// Installs a service and returns the one before (the caller keeps ownership).
CMediaSessionService* SetMediaSessionService(CMediaSessionService* service);

// Publishes the window as the user's media player: it becomes the player
// that later starts hand their files to, unless one is published already
// (then it is one more player of the desktop's widget). The source is asked
// for the status until WithdrawMediaPlayer. FALSE without a session.
BOOL PublishMediaPlayer(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info);
void WithdrawMediaPlayer(HWND hwnd);
// Hands file (empty: none) to the user's published player and brings its
// window to the front; TRUE when that player took it.
BOOL PassToRunningPlayer(const MEDIAPLAYERINFO& info, const CString& file);
