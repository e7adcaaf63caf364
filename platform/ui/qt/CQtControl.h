#pragma once

#include "platform/ui/CWindowBackend.h"

class CDialogControl;
class CQtDialogWindow;
class QWidget;

// Shows one dialog control as a Qt widget: EDIT as a line edit, STATIC as a
// label, BUTTON as a push button. The control's window text and the widget's
// text are kept equal in both directions; a button click reaches the dialog
// as WM_COMMAND with the control's id.
class CQtControl : public CWindowBackend {
public:
    CQtControl(CDialogControl& control, CQtDialogWindow& dialog);

    QWidget* Widget() const { return m_widget; }

    void Wake() override { }
    void Invalidate(const RECT&, bool) override { }
    void SurfaceChanged(const RECT&) override { }
    void SetTitle(const CString& title) override;
    void SetCapture(bool) override { }
    void Center() override { }
    void SetFocus() override;

private:
    QWidget* m_widget { nullptr };
};
