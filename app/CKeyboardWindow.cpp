#include "app/CKeyboardWindow.h"

#include "app/CTabrinoDlg.h"
#include "platform/gdi/CClientDC.h"
#include "player/CChannelLevel.h"
#include "skin/CFaceLayout.h"
#include "skin/CSkinMeter.h"
#include "song/CRing.h"
#include "song/CTrack.h"

#include <algorithm>
#include <string>

namespace {

const char* const kTemplate = R"(caption "Keyboard"
size 320 90
font 8 "System"
style WS_POPUP|WS_CAPTION|WS_SYSMENU|WS_THICKFRAME
control -1 STATIC "Show:" 4 6 24 8 WS_CHILD|WS_VISIBLE|SS_RIGHT
control 1001 COMBOBOX "" 30 3 100 14 WS_CHILD|WS_VISIBLE|WS_VSCROLL|CBS_DROPDOWNLIST
control -1 STATIC "Keys:" 136 6 24 8 WS_CHILD|WS_VISIBLE|SS_RIGHT
control 1002 COMBOBOX "" 162 3 120 14 WS_CHILD|WS_VISIBLE|WS_VSCROLL|CBS_DROPDOWNLIST
)";

constexpr int kKeyModes[] = { 61, 88, 128 };
constexpr int kMargin = 4;
// Room below the player's window for the keyboard's title bar.
constexpr LONG kWindowGap = 40;

}

CKeyboardWindow::CKeyboardWindow(CTabrinoDlg& player, CViewSettings& settings)
    : CViewWindow(player, settings.m_keyboard, kTemplate)
    , m_settings(settings)
{
    // The meters' palette: each velocity in the colour a meter bar shows
    // for it at its top.
    CSkinMeter meter;
    meter.SetBarCount(16);
    meter.SetRect(CFaceLayout::kMeterRect);
    for (int velocity = 1; velocity < 128; ++velocity)
        m_colours[static_cast<size_t>(velocity)] = meter.PeakColour(CChannelLevel::LevelOf(velocity));
}

void CKeyboardWindow::KeyRange(const std::bitset<128>& notes, int keys, int& first, int& last)
{
    if (keys == 88 || keys == 128) {
        first = keys == 88 ? 21 : 0;
        last = keys == 88 ? 108 : 127;
        return;
    }
    if (notes.none()) {
        first = 36;
        last = 96;
        return;
    }
    int low = 0, high = 127;
    while (!notes[static_cast<size_t>(low)])
        ++low;
    while (!notes[static_cast<size_t>(high)])
        --high;
    // Whole octaves from C to C around the notes, widened an octave at a
    // time on the side with less room until 61 keys show.
    first = low - low % 12;
    last = std::min(127, high + (12 - high % 12) % 12);
    while (last - first < 60) {
        const bool roomBelow = first >= 12;
        const bool roomAbove = last + 12 <= 127;
        if (roomBelow && (!roomAbove || low - first <= last - high))
            first -= 12;
        else if (roomAbove)
            last += 12;
        else
            break;
    }
}

BOOL CKeyboardWindow::OnInitDialog()
{
    SendDlgItemMessage(IDC_CHANNEL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"All channels but drums"));
    for (int channel = 1; channel <= 16; ++channel) {
        const std::wstring name = L"Channel " + std::to_wstring(channel);
        SendDlgItemMessage(IDC_CHANNEL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendDlgItemMessage(IDC_CHANNEL, CB_SETCURSEL, static_cast<WPARAM>(m_channel + 1));
    for (const wchar_t* label : { L"The song's range (61 or more)", L"88 keys", L"128 keys" })
        SendDlgItemMessage(IDC_KEYS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
    const auto mode = std::find(std::begin(kKeyModes), std::end(kKeyModes), m_settings.m_keyboardKeys);
    SendDlgItemMessage(IDC_KEYS, CB_SETCURSEL, static_cast<WPARAM>(mode == std::end(kKeyModes) ? 0 : mode - kKeyModes));
    return CViewWindow::OnInitDialog();
}

void CKeyboardWindow::SongChanged()
{
    m_notesFound = false;
    Layout();
}

void CKeyboardWindow::SetChannel(int channel)
{
    m_channel = std::clamp(channel, -1, 15);
    SendDlgItemMessage(IDC_CHANNEL, CB_SETCURSEL, static_cast<WPARAM>(m_channel + 1));
    Layout();
}

void CKeyboardWindow::SetKeys(int keys)
{
    if (std::find(std::begin(kKeyModes), std::end(kKeyModes), keys) == std::end(kKeyModes))
        return;
    m_settings.m_keyboardKeys = keys;
    Layout();
}

bool CKeyboardWindow::Watched(int channel) const
{
    return m_channel < 0 ? channel != m_drum : channel == m_channel;
}

void CKeyboardWindow::Layout()
{
    if (!IsOpen())
        return;
    const CPlayerState& state = m_player.m_playerState;
    m_muted = MutedChannels();
    if (!m_notesFound) {
        // Walked once a song, and only while the window shows.
        for (auto& notes : m_songNotes)
            notes.reset();
        CRing::ForEach(m_player.m_pTracks, [this](const CTrack* track) {
            CRing::ForEach(track->m_firstEvent, [this](const CMidiEvent* event) {
                if ((event->m_status & 0xF0) == 0x90 && event->m_data2 > 0)
                    m_songNotes[event->m_status & 0x0F].set(event->m_data1 & 0x7F);
            });
        });
        m_notesFound = true;
    }
    m_transpose = state.m_transpose;
    m_drum = state.m_drumChannel;
    // The notes as they sound: the drum channel is not transposed.
    std::bitset<128> notes;
    for (int channel = 0; channel < 16; ++channel) {
        if (!Watched(channel))
            continue;
        const int shift = channel == m_drum ? 0 : m_transpose;
        for (int note = 0; note < 128; ++note) {
            if (m_songNotes[static_cast<size_t>(channel)][static_cast<size_t>(note)])
                notes.set(static_cast<size_t>(std::clamp(note + shift, 0, 127)));
        }
    }
    int first = 0, last = 0;
    KeyRange(notes, m_settings.m_keyboardKeys, first, last);
    RECT client;
    GetClientRect(&client);
    m_keys.SetLayout(first, last,
        RECT { kMargin, kKeysTop, std::max<LONG>(kMargin, client.right - kMargin),
            std::max<LONG>(kKeysTop, client.bottom - kMargin) });
    m_changes = m_player.m_output.m_sentKeys.Changes();
    for (int key = m_keys.First(); key <= m_keys.Last(); ++key)
        m_keys.SetKey(key, KeyColour(key));
    Invalidate(FALSE);
}

COLORREF CKeyboardWindow::KeyColour(int key) const
{
    const CSentKeys& sent = m_player.m_output.m_sentKeys;
    int best = 0;
    COLORREF colour = CPianoKeys::kUnlit;
    for (int channel = 0; channel < 16; ++channel) {
        const int velocity = Watched(channel) ? sent.Velocity(channel, key) : 0;
        if (velocity == 0)
            continue;
        // A part that sounds wins over a muted one, a louder over a softer.
        const bool muted = m_muted & (1u << channel);
        const int rank = (muted ? 0 : 128) + velocity;
        if (rank > best) {
            best = rank;
            const COLORREF lit = m_colours[static_cast<size_t>(velocity)];
            colour = muted ? CSkinMeter::Dimmed(lit) : lit;
        }
    }
    return colour;
}

void CKeyboardWindow::Refresh()
{
    if (!IsOpen())
        return;
    const CPlayerState& state = m_player.m_playerState;
    if (state.m_transpose != m_transpose || state.m_drumChannel != m_drum) {
        // The song's range moves with the transposition.
        Layout();
        return;
    }
    const std::uint32_t muted = MutedChannels();
    const std::uint32_t changes = m_player.m_output.m_sentKeys.Changes();
    if (changes == m_changes && muted == m_muted)
        return;
    m_changes = changes;
    m_muted = muted;
    BOOL changed = FALSE;
    for (int key = m_keys.First(); key <= m_keys.Last(); ++key)
        changed |= m_keys.SetKey(key, KeyColour(key));
    if (changed) {
        CClientDC dc(this);
        m_keys.Paint(&dc, FALSE);
    }
}

std::uint32_t CKeyboardWindow::MutedChannels() const
{
    std::uint32_t muted = 0;
    for (int channel = 0; channel < 16; ++channel)
        muted |= m_player.m_playerState.m_channels[channel].m_muted ? 1u << channel : 0u;
    return muted;
}

RECT CKeyboardWindow::DefaultPlace(const RECT& player, LONG width, LONG height) const
{
    // Below the player, centred under it.
    const LONG left = (player.left + player.right - width) / 2;
    return RECT { left, player.bottom + kWindowGap, left + width, player.bottom + kWindowGap + height };
}

void CKeyboardWindow::PaintAll(CDC* dc)
{
    m_keys.Paint(dc, TRUE);
}

LRESULT CKeyboardWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) {
        const int selection = static_cast<int>(SendDlgItemMessage(LOWORD(wParam), CB_GETCURSEL));
        if (LOWORD(wParam) == IDC_CHANNEL && selection >= 0)
            SetChannel(selection - 1);
        else if (LOWORD(wParam) == IDC_KEYS && selection >= 0 && selection < 3)
            SetKeys(kKeyModes[selection]);
        // The keys go to the window again (Space plays), not to the list.
        SetFocus();
        return 0;
    }
    return CViewWindow::WindowProc(message, wParam, lParam);
}
