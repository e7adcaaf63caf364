#pragma once

#include "platform/core/CString.h"
#include "platform/ui/CDialog.h"
#include "player/CPracticeRender.h"

#include <memory>
#include <thread>

class CTabrinoDlg;

// "Export practice track…": renders the song with the player's current
// practice settings (tempo, transposition, mutes, the mix, the metronome,
// the count-in)
// into a WAV file the user chooses. The render runs on a thread of its own
// with its own player and output stage, never the window's, so playback and
// the face go on meanwhile; this modeless window shows its progress and
// cancels it. When it ends it says where the track went, or why not.
class CExportDlg : public CDialog {
public:
    explicit CExportDlg(CTabrinoDlg& player);
    ~CExportDlg() override;

    // Asks for the file and starts the render; FALSE when the user chose
    // none or one is rendering already (that window comes to the front).
    BOOL Start();
    // Starts the render into path without asking (and without a window
    // when the player has none).
    BOOL StartInto(const CString& path);
    BOOL Rendering() const { return m_thread.joinable() ? TRUE : FALSE; }
    // Asks the render to stop; Finish follows.
    void Cancel();
    // Waits for the render and tells how it went; called when the thread
    // says it is done, and at close.
    void Finish();
    // The settings a render gets from the player now.
    static CPracticeRender::Settings CurrentSettings(CTabrinoDlg& player);

    // Posted by the render thread: wParam the thousandths done, or DONE.
    static constexpr UINT WM_EXPORT_PROGRESS = 0x8000 + 0x41;
    static constexpr WPARAM DONE = 0xFFFF;
    enum : int { ID_TEXT = 1500, ID_PROGRESS };

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnCancel() override { Cancel(); }
    void OnOK() override { }

    // What the last render ended with (for the user: shown in a box).
    CString m_result;

private:
    CTabrinoDlg& m_player;
    std::unique_ptr<CPracticeRender> m_render;
    std::thread m_thread;
    CString m_path;
};
