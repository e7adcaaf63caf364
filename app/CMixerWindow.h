#pragma once

#include "app/CViewSettings.h"
#include "platform/ui/CDialog.h"
#include "song/CChannelNames.h"

#include <string>

class CTabrinoDlg;

// The mixer: a modeless window with one strip per channel the song plays
// on (its name, a volume, a pan of its own or the song's, mute, solo,
// emphasis, minus one and the live level) and, above them, the level the
// other channels keep during an emphasis. Its template is built for each
// song. Changes go to the player's mixer and practice tools at once; the
// strips follow the player's state at every meter refresh, so mutes set on
// the face show here too. Keys it does not take are the player's.
class CMixerWindow : public CDialog {
public:
    CMixerWindow(CTabrinoDlg& player, CViewSettings::Placement& placement);
    ~CMixerWindow() override;

    void Open(BOOL activate);
    void Close();
    BOOL IsOpen() const { return m_hWnd && IsWindowVisible() ? TRUE : FALSE; }
    void Toggle();
    void KeepPlacement();
    // A new song: the strips are built again for its channels, the window
    // staying where it is.
    void SongChanged();
    // Follows the mutes, the emphasis and the levels (meter refresh).
    void Refresh();
    // The mix was set from outside: the controls show it.
    void MixChanged();

    // The channels of the song in place and their names.
    const CChannelNames& Names() const { return m_names; }
    // The template of the strips for these channels (dialog units).
    static std::string TemplateText(const CChannelNames& names);

    // Control ids: the header's, then ten a strip from STRIP_FIRST.
    enum : int {
        ID_LEVEL = 1900,
        ID_LEVEL_TEXT,
        ID_RESET,
        STRIP_FIRST = 2000,
    };
    enum StripItem : int {
        ITEM_NAME,
        ITEM_VOLUME,
        ITEM_OWN_PAN,
        ITEM_PAN,
        ITEM_MUTE,
        ITEM_SOLO,
        ITEM_EMPHASIS,
        ITEM_MINUS_ONE,
        ITEM_METER,
        ITEM_COUNT = 10,
    };
    static int StripId(int channel, int item) { return STRIP_FIRST + channel * ITEM_COUNT + item; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnCancel() override { Close(); }
    void OnOK() override { }

private:
    // Puts the mix and the practice state into the controls.
    void ShowValues();
    void OnClicked(int id);
    void OnScroll(HWND trackbar);
    void ShowLevelText();

    CTabrinoDlg& m_player;
    CViewSettings::Placement& m_placement;
    CChannelNames m_names;
};
