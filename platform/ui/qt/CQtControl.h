#pragma once

#include "platform/ui/CWindowBackend.h"

#include <QObject>

#include <memory>

class CDialogControl;
class CQtDialogWindow;
class QWidget;

// Shows one dialog control as a Qt widget: EDIT as a line edit, STATIC as a
// label, BUTTON as a push button, COMBOBOX as a drop-down list. The
// control's window text (a list's items and selection) and the widget are
// kept equal in both directions; a button click reaches the dialog as
// WM_COMMAND with the control's id. The other kinds (ControlMessages.h) are
// subclasses that make widgets of their own.
class CQtControl : public CWindowBackend {
public:
    // The backend for the control's kind.
    static std::unique_ptr<CQtControl> Make(CDialogControl& control, CQtDialogWindow& dialog);
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
    void Show(bool show, bool activate) override;
    void Enable(bool enable) override;
    void Move(const RECT& rect) override;
    void Destroyed() override { m_control = nullptr; }

protected:
    // For a subclass: the widget it made, placed as the template says.
    CQtControl(CDialogControl& control, CQtDialogWindow& dialog, QWidget* widget);
    // The control until its handle is destroyed; null afterwards.
    CDialogControl* Control() const { return m_control; }
    // The context of a subclass's connections: they end with the backend,
    // never reaching a backend that is gone.
    QObject* Context() { return &m_context; }

private:
    void Place(CQtDialogWindow& dialog);

    QWidget* m_widget { nullptr };
    CDialogControl* m_control { nullptr };
    QObject m_context;
};
