#pragma once

#include "platform/core/WinTypes.h"

// The command ids of the main window (WM_COMMAND), as the face's buttons,
// the keys and the context menu send them.
enum FaceCommand : WORD {
    ID_FILE_OPEN = 1000,
    ID_PLAY = 1001,
    ID_STOP = 1002,
    ID_TRANSPOSE_UP = 1015,
    ID_TRANSPOSE_DOWN = 1016,
    ID_TEMPO_UP = 1017,
    ID_TEMPO_DOWN = 1018,
    ID_SETTINGS = 1019,

    ID_PLAY_STOP = 1100,
    ID_GO_START,
    ID_BAR_BACK,
    ID_BAR_FORWARD,
    ID_BEAT_BACK,
    ID_BEAT_FORWARD,
    ID_TEMPO_UP10,
    ID_TEMPO_DOWN10,
    ID_TRANSPOSE_RESET,
    ID_LOOP_SET_A,
    ID_LOOP_SET_B,
    ID_LOOP_TOGGLE,
    ID_LOOP_CLEAR,
    ID_METRONOME,
    ID_UNMUTE_ALL,
    ID_KEY_HELP,
    ID_ABOUT,
    ID_QUIT,
    ID_FORGET_SONG,

    // Sixteen channels each, the first for channel 1.
    ID_MUTE_FIRST = 1200,
    ID_SOLO_FIRST = 1220,
    // The recent files, the most recent first.
    ID_RECENT_FIRST = 1240,
    // ID_ZOOM_FIRST + n for the zoom n (1..4).
    ID_ZOOM_FIRST = 1250,

    // The views beside the face, opened and closed.
    ID_LYRICS_WINDOW = 1300,
    ID_KEYBOARD_WINDOW,

    // The mixer window, its emphasis and minus one for each channel (from
    // the first), and the practice track export.
    ID_MIXER_WINDOW = 1400,
    ID_EXPORT_PRACTICE,
    ID_MIX_RESET,
    ID_EMPHASIS_FIRST = 1420,
    ID_MINUS_ONE_FIRST = 1440,
    // Count-in, the practice dialogs, markers and bookmarks (CPracticeTools).
    ID_COUNT_IN = 1600,
    ID_COUNT_IN_OFF,
    ID_COUNT_IN_1,
    ID_COUNT_IN_2,
    ID_COUNT_IN_PASS,
    ID_PRACTICE_DIALOG,
    ID_TRAINER_DIALOG,
    ID_MARKER_NEXT,
    ID_MARKER_PREVIOUS,
    ID_BOOKMARK_ADD,
    ID_LOOP_SECTION,
    // The song's markers in the "Go to" menu, then the bookmarks, then the
    // entries that remove a bookmark.
    ID_GOTO_MARKER_FIRST = 1700,
    ID_GOTO_BOOKMARK_FIRST = 1900,
    ID_BOOKMARK_REMOVE_FIRST = 2000,
    // The playlist (CPlaylistPlayer).
    ID_PLAYLIST_FIRST = 2200,
    ID_NEXT_SONG = ID_PLAYLIST_FIRST,
    ID_PREVIOUS_SONG,
    ID_PLAYLIST_WINDOW,
    ID_STOP_AFTER_SONG,
    ID_REPEAT_OFF,
    ID_REPEAT_ONE,
    ID_REPEAT_ALL,
    ID_SHUFFLE,
    ID_OPEN_FOLDER,
    ID_SUBFOLDERS,
    ID_OPEN_PLAYLIST,
    ID_SAVE_PLAYLIST,
    ID_PLAYLIST_LAST = ID_SAVE_PLAYLIST,
};

constexpr int kGoToMenuMarkers = 200;

constexpr int kRecentMenuFiles = 8;
