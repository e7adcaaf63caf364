#pragma once

#include "platform/core/CString.h"

#include <vector>

// The desktop session around a player window: the media keys and the
// desktop's media widget (the MPRIS interface on the session bus), and one
// player window per user. The window backend installs the service; without
// one (tools, tests) nothing is published and nothing is handed over.
// The desktop learns of changes when they happen: the program tells the
// service after each one (MediaStatusChanged), and nothing is polled.

// Media commands reach the window as WM_APPCOMMAND, the command in the high
// word of lParam (GET_APPCOMMAND_LPARAM), as the shell sends media keys.
#define WM_APPCOMMAND 0x0319
#define FAPPCOMMAND_MASK 0xF000
#define GET_APPCOMMAND_LPARAM(lParam) (static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)) & ~FAPPCOMMAND_MASK))
#define APPCOMMAND_MEDIA_NEXTTRACK 11
#define APPCOMMAND_MEDIA_PREVIOUSTRACK 12
#define APPCOMMAND_MEDIA_STOP 13
#define APPCOMMAND_MEDIA_PLAY_PAUSE 14
#define APPCOMMAND_MEDIA_PLAY 46
#define APPCOMMAND_MEDIA_PAUSE 47
// The platform's own messages, with no shell counterpart: move the playback
// position to lParam microseconds from the start (0 to the song's length);
// set the master volume to lParam (0..1000); set the tempo to lParam
// millionths of the song's own tempo (the desktop's playback rate).
#define WM_MEDIA_SETPOSITION 0x7FFF
#define WM_MEDIA_SETVOLUME 0x7FFE
#define WM_MEDIA_SETRATE 0x7FFD
// Set the repeat to lParam (MEDIA_REPEAT_*), the shuffle on (1) or off (0).
#define WM_MEDIA_SETREPEAT 0x7FFC
#define WM_MEDIA_SETSHUFFLE 0x7FFB

// Files handed over by another start of the program (or the desktop's media
// widget) arrive as WM_DROPFILES, as if dropped on the window; several
// handed over at once come as one drop.

// The repeat of a playlist: none, the song, the whole list.
enum : int {
    MEDIA_REPEAT_NONE = 0,
    MEDIA_REPEAT_TRACK = 1,
    MEDIA_REPEAT_PLAYLIST = 2,
};

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
    // The tempo against the song's own, and the range the tempo box allows.
    double rate { 1.0 };
    double minimumRate { 1.0 };
    double maximumRate { 1.0 };
    BOOL canPlay { FALSE };
    BOOL canSeek { FALSE };
    // The playlist: a song to go to either way, its repeat and shuffle.
    BOOL canGoNext { FALSE };
    BOOL canGoPrevious { FALSE };
    int repeat { MEDIA_REPEAT_NONE };
    BOOL shuffle { FALSE };
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

// What ClaimMediaPlayer found.
enum : int {
    // This process is the user's player now: later starts hand their files
    // to the window it publishes.
    MEDIA_CLAIMED = 0,
    // The user's player runs and took the file (or came to the front).
    MEDIA_HANDED_OVER = 1,
    // There is no session bus: the window runs on its own.
    MEDIA_NO_SESSION = 2,
    // The player that holds the name did not answer: the window runs on its
    // own.
    MEDIA_NOT_ANSWERED = 3,
};

// The service a window backend installs.
class CMediaSessionService {
public:
    virtual ~CMediaSessionService() = default;
    virtual int Claim(const MEDIAPLAYERINFO& info, const std::vector<CString>& files) = 0;
    virtual BOOL Publish(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info) = 0;
    virtual void Withdraw(HWND hwnd) = 0;
    virtual void StatusChanged(HWND hwnd, BOOL seeked) = 0;
};

// Installs a service and returns the one before (the caller keeps ownership).
CMediaSessionService* SetMediaSessionService(CMediaSessionService* service);

// Makes this process the user's player before any window shows, in one step
// that two starts at the same moment cannot both win: it takes the player's
// name on the session bus. Where another process holds it, the files (none,
// one, or several as one list) are handed to that player, which comes to
// the front. Requests that
// reach the name before the window is published wait for it. Without a
// service MEDIA_NO_SESSION.
int ClaimMediaPlayer(const MEDIAPLAYERINFO& info, const std::vector<CString>& files);
// Publishes the window as a media player of the desktop: under the name
// this process claimed, or else the player's name when it is free, or else
// one of its own. The source is asked for the status until
// WithdrawMediaPlayer. FALSE without a session.
BOOL PublishMediaPlayer(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info);
void WithdrawMediaPlayer(HWND hwnd);
// Tells the desktop what changed since the last call (the status is asked
// for again); seeked: the position jumped.
void MediaStatusChanged(HWND hwnd, BOOL seeked);
