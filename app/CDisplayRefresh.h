#pragma once

#include "platform/core/WinTypes.h"

class CTabrinoDlg;

// The main dialog's readouts: the texts and the position slider from the
// player state, and the channel meters from the level model. Runs on the
// user-interface thread only.
class CDisplayRefresh {
public:
    explicit CDisplayRefresh(CTabrinoDlg& dialog);

    // Command 1005: position, length, tempo and transposition texts and the
    // position slider, at most once per refresh interval.
    void UpdateDisplay();
    // Command 1004: the level of every channel into the meter display, at
    // most once per refresh interval.
    void UpdateMeters();
    // The texts of a newly opened song: transposition, position at the
    // start and the song's length.
    void ShowSong();

    // The tick a release of the position slider at value (0..1000) seeks
    // to: the start of the beat that lies value per mille into the song.
    static LONGLONG SeekTick(LONGLONG length, LONGLONG ppqn, int value);
    // The position slider's value for a position.
    static int SliderValue(LONGLONG tick, LONGLONG length);

private:
    CTabrinoDlg& m_dialog;
};
