#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/Menu.h"
#include "player/CBookmarkList.h"
#include "player/CCountInSettings.h"
#include "player/CMetronomeSettings.h"
#include "player/CSpeedTrainerSettings.h"
#include "song/CMarkers.h"

class CSkinBadge;
class CTabrinoDlg;

// The window's count-in, metronome and speed-trainer settings, the song's
// markers and the user's bookmarks: their menu entries and keys, their
// dialogs, and their place in the settings file. The Set... calls apply a
// value to the running window at any time (after a song has opened, a
// song's memory hands its values over through them).
class CPracticeTools {
public:
    explicit CPracticeTools(CTabrinoDlg& dialog);

    void SetCountIn(const CCountInSettings& settings);
    void SetMetronome(const CMetronomeSettings& settings);
    void SetTrainer(const CSpeedTrainerSettings& settings);
    void SetBookmarks(const CBookmarkList& bookmarks);
    CCountInSettings CountIn() const { return m_countIn; }
    CMetronomeSettings Metronome() const { return m_metronome; }
    CSpeedTrainerSettings Trainer() const { return m_trainer; }
    const CBookmarkList& Bookmarks() const { return m_bookmarks; }
    const CMarkers& Markers() const { return m_markers; }

    // Settings at start-up and at close; the settings file keeps the
    // count-in, the metronome and the trainer (bookmarks belong to a song).
    void Load();
    void Save() const;
    // A new song is in place: its markers, no bookmarks.
    void SongChanged();

    // The commands of FaceCommands.h from ID_COUNT_IN on; FALSE for others.
    BOOL Run(WORD id);
    // The entries of the context menu: count-in, the practice dialogs,
    // "Go to" and "Loop this section".
    void AppendMenu(HMENU menu) const;
    // The trainer's state for the title while it runs ("pass 3: 80 % of
    // 100 %"); empty otherwise.
    CString TrainerStatus() const;
    // The note the tempo box counts: empty for a quarter, "dotted quarter"
    // or "eighth" in a compound meter at the position.
    CString TempoNote() const;
    // Puts the trainer's state and, while the metronome or the count-in is
    // on in a compound meter, the tempo of its click into the title; the
    // title is the song's alone while neither is in use.
    void ShowStatus();
    // The trainer's badge on the face, below the transport buttons (once
    // the face is built).
    void CreateBadge();

    // Jumps to the next or the previous marker or bookmark; FALSE when
    // there is none.
    BOOL GoToNext();
    BOOL GoToPrevious();
    // The loop from the marker (or bookmark) at or before the position to
    // the next one (or the song's end); FALSE without a marker before.
    BOOL LoopSection();

private:
    // Markers and bookmarks together, in song order.
    std::vector<LONGLONG> Places() const;
    void GoTo(LONGLONG tick);
    void EditPractice();
    void EditTrainer();

    CTabrinoDlg& m_dialog;
    CCountInSettings m_countIn;
    CMetronomeSettings m_metronome;
    CSpeedTrainerSettings m_trainer;
    CBookmarkList m_bookmarks;
    CMarkers m_markers;
    // The song's title, and what ShowStatus added to it last.
    CString m_baseTitle;
    CString m_shownStatus;
    CFont m_fontBadge;
    CSkinBadge* m_pBadge { nullptr };
};
