#include "app/CPracticeTools.h"

#include "app/CPracticeDlg.h"
#include "app/CTabrinoDlg.h"
#include "app/CTrainerDlg.h"
#include "app/FaceCommands.h"
#include "app/KeyBindings.h"
#include "app/PracticeSettings.h"
#include "platform/gdi/CClientDC.h"
#include "platform/ui/WindowHandle.h"
#include "skin/CSkinBadge.h"
#include "song/CMeterMap.h"

#include <algorithm>
#include <string>

namespace {

UINT Checked(bool checked)
{
    return MF_STRING | (checked ? MF_CHECKED : 0u);
}

// "Bar 12", or "Bar 12.3" for a place on the third beat.
std::wstring PlaceName(const CMeterMap& meter, LONGLONG tick)
{
    const CMeterMap::Position at = meter.At(tick);
    std::wstring name = L"Bar " + std::to_wstring(at.bar + 1);
    if (at.beat != 0)
        name += L"." + std::to_wstring(at.beat + 1);
    return name;
}

}

CPracticeTools::CPracticeTools(CTabrinoDlg& dialog)
    : m_dialog(dialog)
{
}

void CPracticeTools::SetCountIn(const CCountInSettings& settings)
{
    m_countIn = settings;
    m_dialog.m_countIn.SetSettings(settings);
}

void CPracticeTools::SetMetronome(const CMetronomeSettings& settings)
{
    m_metronome = settings;
    m_dialog.m_metronome.SetSettings(settings);
    // The next click may now come at another tick.
    m_dialog.m_playerState.Wake();
}

void CPracticeTools::SetTrainer(const CSpeedTrainerSettings& settings)
{
    m_trainer = settings;
    m_dialog.m_trainer.SetSettings(settings);
}

void CPracticeTools::SetBookmarks(const CBookmarkList& bookmarks)
{
    m_bookmarks = bookmarks;
}

void CPracticeTools::Load()
{
    LoadCountInSetting(m_countIn);
    LoadMetronomeSetting(m_metronome);
    LoadSpeedTrainerSetting(m_trainer);
    SetCountIn(m_countIn);
    SetMetronome(m_metronome);
    SetTrainer(m_trainer);
}

void CPracticeTools::Save() const
{
    // Only what differs from the file's value (or its default) is written,
    // so another window's choice is not overwritten by an untouched one.
    CCountInSettings countIn;
    CMetronomeSettings metronome;
    CSpeedTrainerSettings trainer;
    LoadCountInSetting(countIn);
    LoadMetronomeSetting(metronome);
    LoadSpeedTrainerSetting(trainer);
    if (!(countIn == m_countIn))
        SaveCountInSetting(m_countIn);
    if (!(metronome == m_metronome))
        SaveMetronomeSetting(m_metronome);
    if (!(trainer == m_trainer))
        SaveSpeedTrainerSetting(m_trainer);
}

void CPracticeTools::SongChanged()
{
    m_markers.Build(m_dialog.m_pTracks, std::string());
    m_bookmarks.Clear();
    m_baseTitle = m_dialog.GetWindowText();
    m_shownStatus = CString();
}

void CPracticeTools::CreateBadge()
{
    m_fontBadge.CreateFont(11, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Arial");
    // Over the name at the face's foot, which the skin leaves free of
    // controls.
    m_pBadge = m_dialog.AddBadge(RECT { 8, 255, 146, 267 }, &m_fontBadge);
    // Between the tempo box and the transposition's label.
    m_pTempoBadge = m_dialog.AddBadge(RECT { 152, 188, 198, 199 }, &m_fontBadge);
}

void CPracticeTools::ShowStatus()
{
    const CString trainer = TrainerStatus();
    // The badge has room for the pass and the tempo alone.
    const CString badge = trainer.IsEmpty() ? trainer : trainer.Mid(8);
    const CString note = m_dialog.m_practice.MetronomeOn() || m_countIn.On() ? TempoNote() : CString();
    BOOL dirty = FALSE;
    if (m_pBadge)
        dirty |= m_pBadge->SetText(badge);
    if (m_pTempoBadge)
        dirty |= m_pTempoBadge->SetText(note);
    if (dirty && m_dialog.m_hWnd) {
        CClientDC dc(&m_dialog);
        m_dialog.RedrawControls(&dc, FALSE);
    }
    const CString status = trainer;
    if (status == m_shownStatus || !m_dialog.m_hWnd)
        return;
    if (m_shownStatus.IsEmpty())
        m_baseTitle = m_dialog.GetWindowText();
    m_shownStatus = status;
    m_dialog.SetWindowText(status.IsEmpty() ? m_baseTitle : m_baseTitle + L"  [" + status + L"]");
}

std::vector<LONGLONG> CPracticeTools::Places() const
{
    const CMeterMap& meter = m_dialog.m_playerState.m_meterMap;
    std::vector<LONGLONG> places;
    for (const CMarkers::Marker& marker : m_markers.Items())
        places.push_back(meter.BeatStart(marker.tick));
    for (const CBookmarkList::Bookmark& bookmark : m_bookmarks.Items())
        places.push_back(meter.BeatStart(bookmark.tick));
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    return places;
}

void CPracticeTools::GoTo(LONGLONG tick)
{
    // As every seek: at the start of the beat, inside the song.
    const CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG length = state.m_length;
    if (length <= 0)
        return;
    m_dialog.SetPosition(std::clamp<LONGLONG>(state.m_meterMap.BeatStart(tick), 0, length - 1));
}

BOOL CPracticeTools::GoToNext()
{
    const CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG here = state.m_meterMap.BeatStart(state.m_currentTick);
    for (const LONGLONG place : Places()) {
        if (place > here && place < state.m_length) {
            GoTo(place);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CPracticeTools::GoToPrevious()
{
    // Within the first beat of a place, back to the one before it, as a
    // player's "previous" does; later in the section, to its start.
    const CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG here = state.m_meterMap.BeatStart(state.m_currentTick);
    const std::vector<LONGLONG> places = Places();
    for (auto at = places.rbegin(); at != places.rend(); ++at) {
        if (*at < here) {
            GoTo(*at);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CPracticeTools::LoopSection()
{
    const CPlayerState& state = m_dialog.m_playerState;
    const LONGLONG here = state.m_currentTick;
    const std::vector<LONGLONG> places = Places();
    if (places.empty() || state.m_length <= 0)
        return FALSE;
    LONGLONG start = 0;
    LONGLONG end = state.m_length;
    for (const LONGLONG place : places) {
        if (place <= here)
            start = place;
        else if (place < end)
            end = place;
        if (place > here)
            break;
    }
    return m_dialog.m_practice.SetLoop(start, end);
}

BOOL CPracticeTools::Run(WORD id)
{
    const CPlayerState& state = m_dialog.m_playerState;
    if (id >= ID_GOTO_MARKER_FIRST && id < ID_GOTO_MARKER_FIRST + kGoToMenuMarkers) {
        const size_t n = id - ID_GOTO_MARKER_FIRST;
        if (n < m_markers.Items().size())
            GoTo(m_markers.Items()[n].tick);
        return TRUE;
    }
    if (id >= ID_GOTO_BOOKMARK_FIRST && id < ID_GOTO_BOOKMARK_FIRST + CBookmarkList::MAX_BOOKMARKS) {
        const size_t n = id - ID_GOTO_BOOKMARK_FIRST;
        if (n < m_bookmarks.Items().size())
            GoTo(m_bookmarks.Items()[n].tick);
        return TRUE;
    }
    if (id >= ID_BOOKMARK_REMOVE_FIRST && id < ID_BOOKMARK_REMOVE_FIRST + CBookmarkList::MAX_BOOKMARKS) {
        m_bookmarks.Remove(id - ID_BOOKMARK_REMOVE_FIRST);
        return TRUE;
    }
    CCountInSettings countIn = m_countIn;
    switch (id) {
    case ID_COUNT_IN: countIn.bars = (countIn.bars + 1) % (CCountInSettings::MAX_BARS + 1); break;
    case ID_COUNT_IN_OFF: countIn.bars = 0; break;
    case ID_COUNT_IN_1: countIn.bars = 1; break;
    case ID_COUNT_IN_2: countIn.bars = 2; break;
    case ID_COUNT_IN_PASS: countIn.beforeEachPass = !countIn.beforeEachPass; break;
    case ID_PRACTICE_DIALOG: EditPractice(); return TRUE;
    case ID_TRAINER_DIALOG: EditTrainer(); return TRUE;
    case ID_MARKER_NEXT: GoToNext(); return TRUE;
    case ID_MARKER_PREVIOUS: GoToPrevious(); return TRUE;
    case ID_BOOKMARK_ADD: {
        const LONGLONG tick = state.m_meterMap.BeatStart(state.m_currentTick);
        if (state.m_length > 0)
            m_bookmarks.Add(tick, CString(PlaceName(state.m_meterMap, tick).c_str()).ToUtf8());
        return TRUE;
    }
    case ID_LOOP_SECTION: LoopSection(); return TRUE;
    default: return FALSE;
    }
    SetCountIn(countIn);
    return TRUE;
}

void CPracticeTools::AppendMenu(HMENU menu) const
{
    HMENU countIn = CreatePopupMenu();
    AppendMenuW(countIn, Checked(m_countIn.bars == 0), ID_COUNT_IN_OFF, L"Off");
    AppendMenuW(countIn, Checked(m_countIn.bars == 1), ID_COUNT_IN_1, L"1 bar");
    AppendMenuW(countIn, Checked(m_countIn.bars == 2), ID_COUNT_IN_2, L"2 bars");
    AppendMenuW(countIn, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(countIn, Checked(m_countIn.beforeEachPass), ID_COUNT_IN_PASS, L"Before each loop pass");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(countIn), MenuEntry(L"Count-in", ID_COUNT_IN));
    AppendMenuW(menu, MF_STRING, ID_PRACTICE_DIALOG, L"Metronome and count-in...");
    AppendMenuW(menu, Checked(m_trainer.on), ID_TRAINER_DIALOG, L"Speed trainer...");

    const CMeterMap& meter = m_dialog.m_playerState.m_meterMap;
    HMENU goTo = CreatePopupMenu();
    const auto& markers = m_markers.Items();
    for (size_t n = 0; n < markers.size() && n < static_cast<size_t>(kGoToMenuMarkers); ++n) {
        const CString text = CString(markers[n].name.c_str()) + L"\t" + PlaceName(meter, markers[n].tick).c_str();
        AppendMenuW(goTo, MF_STRING, ID_GOTO_MARKER_FIRST + n, text);
    }
    const auto& bookmarks = m_bookmarks.Items();
    if (!markers.empty() && !bookmarks.empty())
        AppendMenuW(goTo, MF_SEPARATOR, 0, nullptr);
    HMENU remove = CreatePopupMenu();
    for (size_t n = 0; n < bookmarks.size(); ++n) {
        const CString name = CString::FromUtf8(bookmarks[n].name);
        AppendMenuW(goTo, MF_STRING, ID_GOTO_BOOKMARK_FIRST + n, name);
        AppendMenuW(remove, MF_STRING, ID_BOOKMARK_REMOVE_FIRST + n, name);
    }
    if (!markers.empty() || !bookmarks.empty())
        AppendMenuW(goTo, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(goTo, MF_STRING, ID_MARKER_NEXT, MenuEntry(L"Next marker", ID_MARKER_NEXT));
    AppendMenuW(goTo, MF_STRING, ID_MARKER_PREVIOUS, MenuEntry(L"Previous marker", ID_MARKER_PREVIOUS));
    AppendMenuW(goTo, MF_STRING, ID_BOOKMARK_ADD, MenuEntry(L"Bookmark here", ID_BOOKMARK_ADD));
    AppendMenuW(goTo, MF_POPUP | (bookmarks.empty() ? MF_GRAYED : 0u), reinterpret_cast<std::uintptr_t>(remove),
        L"Remove bookmark");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(goTo), L"Go to");
    AppendMenuW(menu, MF_STRING | (markers.empty() && bookmarks.empty() ? MF_GRAYED : 0u), ID_LOOP_SECTION,
        L"Loop this section");
}

CString CPracticeTools::TrainerStatus() const
{
    const long long pass = m_dialog.m_trainer.m_pass;
    if (!m_trainer.on || pass <= 0 || !m_dialog.m_practice.LoopOn()
        || m_dialog.m_playerState.m_playState == STATE_STOPPED)
        return CString();
    const int percent = m_dialog.m_trainer.m_percent;
    std::wstring text = L"Trainer pass " + std::to_wstring(pass) + L": " + std::to_wstring(percent) + L" %";
    text += percent >= m_trainer.toPercent ? L" (target)" : L" \u2192 " + std::to_wstring(m_trainer.toPercent) + L" %";
    return CString(text.c_str());
}

CString CPracticeTools::TempoNote() const
{
    const CPlayerState& state = m_dialog.m_playerState;
    if (!state.m_meterMap.IsCompound(state.m_currentTick))
        return CString();
    // The tempo box counts quarters; a compound meter's beat, as the
    // metronome clicks it, is a dotted quarter: two thirds of that.
    const int bpm = state.m_bpm;
    if (m_metronome.compoundEighths)
        return CString((L"\u266A=" + std::to_wstring(bpm * 2)).c_str());
    return CString((L"\u2669.=" + std::to_wstring((bpm * 2 + 1) / 3)).c_str());
}

void CPracticeTools::EditPractice()
{
    CMetronomeSettings metronome = m_metronome;
    CCountInSettings countIn = m_countIn;
    if (!CPracticeDlg::Edit(&m_dialog, metronome, countIn))
        return;
    SetMetronome(metronome);
    SetCountIn(countIn);
}

void CPracticeTools::EditTrainer()
{
    CSpeedTrainerSettings trainer = m_trainer;
    CPractice& practice = m_dialog.m_practice;
    const CMeterMap& meter = m_dialog.m_playerState.m_meterMap;
    // The loop's bars as the readouts count them, from 1.
    CTrainerDlg::Bars bars { 0, 0 };
    if (practice.HasLoop()) {
        bars.from = static_cast<int>(meter.At(practice.LoopStart()).bar + 1);
        bars.to = static_cast<int>(meter.At(practice.LoopEnd()).bar + 1);
    }
    if (!CTrainerDlg::Edit(&m_dialog, trainer, bars))
        return;
    if (bars.from > 0 && bars.to > bars.from) {
        const LONGLONG start = meter.TickOf(bars.from - 1, 0);
        const LONGLONG end = std::min<LONGLONG>(meter.TickOf(bars.to - 1, 0), m_dialog.m_playerState.m_length);
        if (start < m_dialog.m_playerState.m_length)
            practice.SetLoop(start, end);
    }
    SetTrainer(trainer);
}
