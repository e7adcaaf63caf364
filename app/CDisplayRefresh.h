#pragma once

#include "platform/core/CString.h"

class CMeterMap;
class CTabrinoDlg;

// The main dialog's readouts: the texts and the position slider from the
// player state, and the channel meters from the level model. Runs on the
// user-interface thread only.
class CDisplayRefresh {
public:
    explicit CDisplayRefresh(CTabrinoDlg& dialog);

    // Command 1005: position, length, tempo and transposition texts and the
    // position slider, at most once per refresh interval; a refresh that
    // comes too soon is left to the player thread's next post.
    void UpdateDisplay();
    // Command 1004: the level of every channel into the meter display, at
    // most once per refresh interval. Tells the player thread whether the
    // meters still move.
    void UpdateMeters();
    // While the song plays, or the readouts or the meters have still to
    // change, the window's own timer runs both refreshes: each then costs
    // the window one wake, where a post costs the player thread a wake as
    // well. The timer stops once nothing moves, and the player thread posts
    // the first refresh when something moves again.
    void Pace();
    // WM_TIMER's id for the refresh timer.
    static constexpr UINT TIMER_ID = 1004;

    // The texts of a newly opened song: transposition, position at the
    // start and the song's length.
    void ShowSong();

    // The tick a release of the position slider at value (0..1000) seeks
    // to: the start of the beat that lies value per mille into the song.
    static LONGLONG SeekTick(LONGLONG length, const CMeterMap& meter, int value);
    // The position slider's value for a position.
    static int SliderValue(LONGLONG tick, LONGLONG length);

private:
    // A position as time along the tempo map at the user's tempo.
    CString TimeText(LONGLONG tick) const;

    CTabrinoDlg& m_dialog;
};
