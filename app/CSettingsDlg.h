#pragma once

#include "platform/ui/CDialog.h"

#include <vector>

class CPortList;

// The settings dialog (template 132): edits the drum channel as the user
// counts it, 1-based, in edit control 1011, chooses the port from a
// drop-down list (1012) and the reset sent before each start (1014: None,
// GM, GM2, GS, XG), the built-in synthesizer's SoundFont (1015: those
// installed, and any other through "Browse..." 1016), switches the
// song's system-exclusive messages on or off (check box 1013) and edits the
// pause between two songs of the playlist in seconds (1017, 0..60).
class CSettingsDlg : public CDialog {
public:
    enum { IDD = 132, IDC_DRUM_CHANNEL = 1011, IDC_PORT = 1012, IDC_SEND_SYSEX = 1013, IDC_RESET = 1014,
        IDC_SOUNDFONT = 1015, IDC_BROWSE = 1016, IDC_SONG_GAP = 1017 };

    // What the dialog edits besides the port.
    struct Choices {
        BYTE drumChannel;
        // 1 on, 0 off.
        int sendSysEx;
        // CSerialMidiOut::Reset.
        int reset;
        // The SoundFont's path.
        CString soundFont;
        // The pause between two songs, in whole seconds.
        int songGap { 2 };
    };

    explicit CSettingsDlg(CWnd* parent = nullptr);

    // Offers the ports of the list that need no file name, and the current
    // port (selected), which is added when the list does not hold it.
    void SetPorts(const CPortList& ports, const CString& current);
    // The port chosen, or the current one when nothing is chosen.
    CString GetPort() const;
    // Offers the SoundFonts by their file names, and the current one
    // (selected), which is added when the list does not hold it.
    void SetSoundFonts(const std::vector<CString>& paths, const CString& current);
    // Adds a SoundFont the user found (unless offered already) and
    // selects it.
    void ChooseSoundFont(const CString& path);
    // The SoundFont chosen, or the current one when nothing is chosen.
    CString GetSoundFont() const;

    // Runs the dialog on the choices and the port; TRUE (with them as
    // chosen) when the user confirmed it, FALSE when it was cancelled.
    static BOOL Edit(CWnd* parent, Choices& choices, CString& port);

    BYTE m_nDrumChannel { 0 };
    int m_nPort { -1 };
    int m_nSendSysEx { 1 };
    int m_nReset { 0 };
    int m_nSoundFont { -1 };
    int m_nSongGap { 2 };

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    // "Browse..." opens the file dialog for a SoundFont.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CString m_strCurrentPort;
    std::vector<CString> m_portNames;
    std::vector<CString> m_portLabels;
    CString m_strCurrentSoundFont;
    std::vector<CString> m_soundFonts;
};
