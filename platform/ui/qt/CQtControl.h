#pragma once

#include "platform/ui/CWindowBackend.h"

class CDialogControl;
class CQtDialogWindow;
class QWidget;

// Shows one dialog control as a Qt widget: EDIT as a line edit, STATIC as a
// label, BUTTON as a push button, COMBOBOX as a drop-down list. The
// control's window text (a list's items and selection) and the widget are
// kept equal in both directions; a button click reaches the dialog as
// WM_COMMAND with the control's id.
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
    void SetList(const std::vector<CString>& items, int selection) override;

private:
    QWidget* m_widget { nullptr };
};
