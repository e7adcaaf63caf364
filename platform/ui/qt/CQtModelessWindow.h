#pragma once

#include "platform/ui/qt/CQtDialogWindow.h"
#include "platform/ui/qt/CQtSurfacePainter.h"

// The Qt window of a modeless dialog, beside the modal ones: it lives until
// the dialog's handle is destroyed and deletes itself then, while the
// program and its other windows go on. Its client area shows the dialog's
// surface one pixel for one, under the controls' widgets; with
// WS_THICKFRAME the user sizes it, and the surface and WM_SIZE follow. Keys
// that no control takes reach the dialog as WM_KEYDOWN (Escape and Enter
// included; the dialog's default makes IDCANCEL and IDOK of them); the
// close box sends WM_CLOSE. Its keys never reach another window.
class CQtModelessWindow : public CQtDialogWindow {
public:
    CQtModelessWindow(CDialog& dialog, const CDialogTemplate& dialogTemplate, QWidget* parent);
    ~CQtModelessWindow() override;

    // Creates the dialog's handle and controls, hidden, placed over the
    // parent (or in the middle of the screen).
    bool Open();
    // The backend's modeless creator (CDialog::SetModelessCreator).
    static BOOL CreateFor(CDialog& dialog, const CDialogTemplate& dialogTemplate);
    // Windows that draw themselves take the desktop style's colours
    // (GetSysColor).
    static void UseStyleColours();

    // The virtual-key code of a key pressed in a dialog, 0 for none.
    static UINT DialogKey(const QKeyEvent& event);

    void SurfaceChanged(const RECT& area) override;
    void Show(bool show, bool activate) override;
    // SetFocus on the dialog itself: its window becomes the active one.
    void SetFocus() override;
    void Enable(bool enable) override;
    void Move(const RECT& rect) override;
    void SetFullScreen(bool fullScreen) override;
    void Destroyed() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Fixed at the template's size unless WS_THICKFRAME or full screen.
    void ApplySizePolicy();

    CDialog& m_owner;
    HWND m_handle { nullptr };
    bool m_resizable;
    CQtSurfacePainter m_painter;
};
