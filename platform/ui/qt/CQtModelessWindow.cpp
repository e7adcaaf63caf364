#include "platform/ui/qt/CQtModelessWindow.h"

#include "platform/ui/CDialog.h"
#include "platform/ui/CDialogControl.h"
#include "platform/ui/ControlMessages.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/SysColor.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowPlacement.h"
#include "platform/ui/qt/QtWindows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>

static_assert(CQtDialogWindow::kDialogUnitX == kPixelsPerDialogUnit
        && CQtDialogWindow::kDialogUnitY == kPixelsPerDialogUnit,
    "headless and shown dialogs lay out alike");

CQtModelessWindow::CQtModelessWindow(CDialog& dialog, const CDialogTemplate& dialogTemplate, QWidget* parent)
    : CQtDialogWindow(dialog, dialogTemplate, 1, parent)
    , m_owner(dialog)
    , m_resizable(std::find(dialogTemplate.m_styles.begin(), dialogTemplate.m_styles.end(), "WS_THICKFRAME")
          != dialogTemplate.m_styles.end())
{
    // The player and its face go on while this window is open.
    setWindowModality(Qt::NonModal);
    // The surface covers the client area; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CQtModelessWindow::~CQtModelessWindow()
{
    // Deleted with its parent window (or at the program's end) while the
    // dialog lives: the dialog goes on headless.
    if (!IsWindow(m_handle))
        return;
    for (const auto& control : m_owner.Controls())
        SetWindowBackend(control->m_hWnd, nullptr);
    SetWindowBackend(m_handle, nullptr);
    ::ShowWindow(m_handle, SW_HIDE);
}

BOOL CQtModelessWindow::CreateFor(CDialog& dialog, const CDialogTemplate& dialogTemplate)
{
    QWidget* parent = dialog.m_pParentWnd ? WidgetOfWindow(dialog.m_pParentWnd->m_hWnd) : nullptr;
    auto* window = new CQtModelessWindow(dialog, dialogTemplate, parent);
    if (window->Open())
        return TRUE;
    delete window;
    return FALSE;
}

void CQtModelessWindow::UseStyleColours()
{
    const QPalette palette = QApplication::palette();
    struct Source {
        int element;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    };
    for (const Source& source : {
             Source { COLOR_WINDOW, QPalette::Active, QPalette::Base },
             Source { COLOR_WINDOWTEXT, QPalette::Active, QPalette::Text },
             Source { COLOR_HIGHLIGHT, QPalette::Active, QPalette::Highlight },
             Source { COLOR_HIGHLIGHTTEXT, QPalette::Active, QPalette::HighlightedText },
             Source { COLOR_BTNFACE, QPalette::Active, QPalette::Window },
             Source { COLOR_GRAYTEXT, QPalette::Disabled, QPalette::Text },
             Source { COLOR_BTNTEXT, QPalette::Active, QPalette::ButtonText },
         }) {
        const QColor colour = palette.color(source.group, source.role);
        const COLORREF value = RGB(colour.red(), colour.green(), colour.blue());
        SetSysColors(1, &source.element, &value);
    }
}

bool CQtModelessWindow::Open()
{
    if (!Create())
        return false;
    m_handle = m_owner.m_hWnd;
    ApplySizePolicy();
    QWidget* parent = parentWidget() ? parentWidget()->window() : nullptr;
    if (parent)
        PlaceCentred(parent->geometry(), parent->geometry().topLeft() - parent->frameGeometry().topLeft());
    else
        Center();
    return true;
}

void CQtModelessWindow::ApplySizePolicy()
{
    if (m_resizable || isFullScreen()) {
        setMinimumSize(16, 16);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

UINT CQtModelessWindow::DialogKey(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Insert: return VK_INSERT;
    default: return VirtualKey(event);
    }
}

void CQtModelessWindow::SurfaceChanged(const RECT& area)
{
    m_painter.SurfaceChanged(*this, area);
}

void CQtModelessWindow::Show(bool show, bool activate)
{
    if (!show) {
        hide();
        return;
    }
    setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    QWidget::show();
    if (activate) {
        if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
            raise();
        activateWindow();
    }
}

void CQtModelessWindow::SetFocus()
{
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void CQtModelessWindow::Enable(bool enable)
{
    setEnabled(enable);
}

void CQtModelessWindow::Move(const RECT& rect)
{
    QRect place(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    // A place kept from another screen, or asked for beside a window near
    // the edge, is brought onto the screen nearest to it, whole where it
    // fits.
    QScreen* target = QGuiApplication::screenAt(place.center());
    if (!target)
        target = QGuiApplication::primaryScreen();
    if (target) {
        const QRect available = target->availableGeometry();
        place.moveLeft(std::max(available.left(), std::min(place.left(), available.right() + 1 - place.width())));
        place.moveTop(std::max(available.top(), std::min(place.top(), available.bottom() + 1 - place.height())));
    }
    setGeometry(place);
    ApplySizePolicy();
}

void CQtModelessWindow::SetFullScreen(bool fullScreen)
{
    const Qt::WindowStates state = windowState();
    setWindowState(fullScreen ? state | Qt::WindowFullScreen : state & ~Qt::WindowFullScreen);
    ApplySizePolicy();
}

void CQtModelessWindow::Destroyed()
{
    // Called while the handle is destroyed, perhaps from one of the
    // dialog's own handlers: the widget goes once control is back in Qt.
    m_handle = nullptr;
    Detach();
    hide();
    deleteLater();
}

void CQtModelessWindow::paintEvent(QPaintEvent* event)
{
    m_painter.Paint(*this, m_handle, event->region());
}

void CQtModelessWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ResizeClient(m_handle, width(), height());
}

void CQtModelessWindow::keyPressEvent(QKeyEvent* event)
{
    if (const UINT key = DialogKey(*event)) {
        // A key held down in the face that opened this window goes on
        // repeating here once this window has the keyboard; it must not act
        // again (X would close the mixer it just opened).
        bool repeat = false;
        if (!TakeKeyPress(*event, repeat))
            return;
        SetKeyboardModifiers(event->modifiers() & Qt::ShiftModifier, event->modifiers() & Qt::ControlModifier);
        Route(WM_KEYDOWN, key, repeat ? KF_REPEAT_BIT : 0);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void CQtModelessWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        Route(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
    }
}

void CQtModelessWindow::closeEvent(QCloseEvent* event)
{
    // The dialog decides: hidden, destroyed or left open.
    event->ignore();
    if (IsWindow(m_handle))
        Route(WM_CLOSE, 0, 0);
}
