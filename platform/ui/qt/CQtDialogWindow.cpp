#include "platform/ui/qt/CQtDialogWindow.h"

#include "platform/ui/MediaSession.h"

#include "platform/core/Console.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CDialogControl.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/Icon.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/WindowZoom.h"
#include "platform/ui/qt/CQtControl.h"
#include "platform/ui/qt/QtWindows.h"

#include <QBackingStore>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

// Messages that input dispatch follows beyond those queued before it.
constexpr size_t kFollowedPosts = 256;

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Floor division, so that positions left of or above the window stay
// negative after the zoom is divided out.
int DivideDown(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// Zooms the face pixels inside source into zoomed (the face's size times
// the zoom, or larger): each becomes a square of zoom x zoom pixels. Our own
// loop, because a scaling draw of Qt's costs several times as much per
// pixel. The common zooms are constants, so the compiler unrolls their inner
// loop.
template<int FixedZoom>
void ZoomRows(const CPixelBuffer& surface, const QRect& source, QImage& zoomed, int anyZoom)
{
    const int Zoom = FixedZoom ? FixedZoom : anyZoom;
    const size_t bytes = static_cast<size_t>(source.width() * Zoom) * sizeof(QRgb);
    const size_t offset = static_cast<size_t>(source.left() * Zoom) * sizeof(QRgb);
    for (int y = source.top(); y <= source.bottom(); ++y) {
        uchar* first = zoomed.scanLine(y * Zoom) + offset;
        auto* out = reinterpret_cast<QRgb*>(first);
        const std::uint32_t* in = &surface.pixels[static_cast<size_t>(y) * static_cast<size_t>(surface.width)];
        for (int x = source.left(); x <= source.right(); ++x) {
            // An RGB32 image holds 0xFF in the top byte.
            const QRgb pixel = 0xFF000000u | in[x];
            for (int copy = 0; copy < Zoom; ++copy)
                *out++ = pixel;
        }
        for (int copy = 1; copy < Zoom; ++copy)
            std::memcpy(zoomed.scanLine(y * Zoom + copy) + offset, first, bytes);
    }
}

// The corner nearest to corner at which a window of this size lies inside
// the available area. A window larger than the area shows its top left
// corner (and the title bar above it).
QPoint OnScreen(QPoint corner, QSize size, const QRect& available)
{
    return QPoint(std::max(available.left(), std::min(corner.x(), available.right() + 1 - size.width())),
        std::max(available.top(), std::min(corner.y(), available.bottom() + 1 - size.height())));
}

// The local files a drag carries, by their bytes.
std::vector<CString> DroppedFiles(const QMimeData* data)
{
    std::vector<CString> files;
    if (!data)
        return files;
    for (const QUrl& url : data->urls()) {
        // The encoded form keeps the bytes of a name that is not UTF-8.
        CString path;
        if (PathFromFileUri(url.toEncoded().toStdString(), path))
            files.push_back(path);
    }
    return files;
}

// The virtual-key code of a key event, 0 for keys the window has no use for.
// The digit row goes by its place on the keyboard (X11 key codes 10 to 19),
// so Shift+1 stays key 1 whatever character the layout puts on it.
UINT VirtualKeyOf(const QKeyEvent& event)
{
    const quint32 scan = event.nativeScanCode();
    if (scan >= 10 && scan <= 19 && !(event.modifiers() & Qt::KeypadModifier))
        return scan == 19 ? '0' : static_cast<UINT>('1' + (scan - 10));
    const int key = event.key();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<UINT>(key);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_F1: return VK_F1;
    case Qt::Key_F11: return VK_F11;
    case Qt::Key_Plus: return (event.modifiers() & Qt::KeypadModifier) ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Minus: return (event.modifiers() & Qt::KeypadModifier) ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    // Shift and a digit on a US keyboard, where no key code says the key.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return (event.modifiers() & Qt::KeypadModifier) ? 0 : '8';
    case Qt::Key_ParenLeft: return '9';
    default: return 0;
    }
}

int AppCommandOfKey(int key)
{
    switch (key) {
    case Qt::Key_MediaNext: return APPCOMMAND_MEDIA_NEXTTRACK;
    case Qt::Key_MediaPrevious: return APPCOMMAND_MEDIA_PREVIOUSTRACK;
    case Qt::Key_MediaPlay: return APPCOMMAND_MEDIA_PLAY;
    case Qt::Key_MediaPause: return APPCOMMAND_MEDIA_PAUSE;
    case Qt::Key_MediaStop: return APPCOMMAND_MEDIA_STOP;
    default: return APPCOMMAND_MEDIA_PLAY_PAUSE;
    }
}

void RecordModifiers(Qt::KeyboardModifiers modifiers)
{
    SetKeyboardModifiers(modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
}

WPARAM MouseKeys(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    WPARAM keys = (buttons & Qt::LeftButton) ? MK_LBUTTON : 0;
    if (modifiers & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

LPARAM ScreenPosition(QPoint global)
{
    return MAKELPARAM(static_cast<WORD>(global.x()), static_cast<WORD>(global.y()));
}

}

CQtDialogWindow::CQtDialogWindow(CDialog& dialog, const CDialogTemplate& dialogTemplate, int zoom, QWidget* parent)
    : QWidget(parent, parent ? Qt::Dialog : Qt::Window)
    , m_dialog(dialog)
    , m_template(dialogTemplate)
    , m_zoom(m_template.IsFace() ? zoom : 1)
{
    QFont dialogFont = font();
    dialogFont.setPixelSize(12);
    setFont(dialogFont);
    if (parent)
        setWindowModality(Qt::ApplicationModal);
    // Windows report every move of the stylus, not only while it is down.
    setMouseTracking(true);
    // A face covers the whole window, so Qt need not clear what it repaints.
    if (m_template.IsFace())
        setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_timer.setSingleShot(true);
    // To the millisecond: a coarse timer may run out a little early, before
    // the timer is due by the tick count, and cost a second wake.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this]() {
        // The dispatch below takes the WM_TIMER messages at once; a wake
        // event for them would only turn the event loop once more.
        m_wakePending = true;
        ScheduleTimers(PostDueTimers(m_hwnd));
        Dispatch(false);
    });
}

CQtDialogWindow::~CQtDialogWindow() = default;

bool CQtDialogWindow::Create()
{
    int width = m_template.IsFace() ? m_template.m_faceWidth : m_template.m_width * kDialogUnitX;
    int height = m_template.IsFace() ? m_template.m_faceHeight : m_template.m_height * kDialogUnitY;
    setFixedSize(width * m_zoom, height * m_zoom);
    if (!m_dialog.CreateHandle(width, height, this))
        return false;
    m_hwnd = m_dialog.m_hWnd;
    m_dialog.CreateControls(m_template, [this](CDialogControl& control) {
        m_controls.push_back(CQtControl::Make(control, *this));
        return m_controls.back().get();
    });
    SetWindowTextW(m_hwnd, m_template.m_caption);
    // A new window has everything to paint.
    InvalidateRect(m_hwnd, nullptr, TRUE);
    return true;
}

int CQtDialogWindow::RunModal()
{
    if (m_dialog.OnInitDialog()) {
        for (const auto& control : m_dialog.Controls()) {
            if (control->Item().HasStyle("WS_TABSTOP")) {
                m_dialog.GotoDlgCtrl(control.get());
                break;
            }
        }
    }
    // A dialog that opens while the program is being ended by a signal ends
    // at once, as if cancelled.
    if (InterruptRequested() && !m_dialog.IsEnding())
        Route(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    if (!m_dialog.IsEnding()) {
        // An ordinary dialog opens centred over the window it belongs to.
        // Its frame is taken to be like the parent's, which is known by now.
        if (QWidget* parent = parentWidget() ? parentWidget()->window() : nullptr; parent && !m_template.IsFace())
            PlaceCentred(parent->geometry(), parent->geometry().topLeft() - parent->frameGeometry().topLeft());
        show();
        if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
            raise();
        activateWindow();
        QEventLoop loop;
        m_loop = &loop;
        Dispatch(false);
        if (!m_dialog.IsEnding())
            loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
    }
    // The dialog's own DestroyWindow runs first (it may still use its
    // window); whatever it leaves is destroyed before the widgets go.
    m_dialog.DestroyWindow();
    m_dialog.DestroyControls();
    m_dialog.DestroyHandle();
    m_hwnd = nullptr;
    m_allowClose = true;
    close();
    return m_dialog.Result();
}

void CQtDialogWindow::Route(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (PostMessageW(m_hwnd, message, wParam, lParam))
        Dispatch(true);
}

void CQtDialogWindow::Dispatch(bool followPosts)
{
    m_wakePending = false;
    ++m_dispatching;
    if (IsWindow(m_hwnd)) {
        // A wake dispatches what is queued now; input also takes what its
        // handlers post (a button's command right after the stylus-up), up to
        // a limit. The rest waits for the next wake, so a handler that keeps
        // posting cannot starve input and painting.
        size_t pending = 0;
        {
            std::lock_guard<std::mutex> guard(m_hwnd->queueLock);
            pending = m_hwnd->queue.size();
        }
        if (followPosts)
            pending += kFollowedPosts;
        MSG msg;
        while (pending-- > 0 && TakePostedMessage(m_hwnd, &msg))
            SendMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        if (IsWindow(m_hwnd)) {
            std::lock_guard<std::mutex> guard(m_hwnd->queueLock);
            if (!m_hwnd->queue.empty())
                Wake();
        }
    }
    --m_dispatching;
    // What the handlers drew goes to the screen now, in one repaint, rather
    // than after another turn of the event loop, which would cost a wake of
    // its own.
    if (!m_damage.empty()) {
        QRegion damage;
        for (const RECT& part : m_damage)
            damage += FaceToWidget(part);
        m_damage.clear();
        repaint(damage);
    }
    if (m_loop && m_dialog.IsEnding())
        m_loop->quit();
}

QRect CQtDialogWindow::DialogUnitsToPixels(int x, int y, int width, int height) const
{
    return QRect(x * kDialogUnitX, y * kDialogUnitY, width * kDialogUnitX, height * kDialogUnitY);
}

QWidget* CQtDialogWindow::ControlWidget(HWND control) const
{
    if (!IsWindow(control))
        return nullptr;
    for (const auto& c : m_controls) {
        if (control->backend == c.get())
            return c->Widget();
    }
    return nullptr;
}

void CQtDialogWindow::Wake()
{
    // Any thread. One wake event at a time is enough: its dispatch takes
    // every message queued before it starts.
    if (m_wakePending.exchange(true))
        return;
    auto* wake = new QEvent(kWakeEvent);
    // Qt hands the event over with its own locking; this count makes the
    // hand-over visible to the thread checker as well (see event()).
    m_wakesPosted.fetch_add(1, std::memory_order_release);
    QCoreApplication::postEvent(this, wake);
}

QRect CQtDialogWindow::FaceToWidget(const RECT& area) const
{
    return QRect(area.left * m_zoom, area.top * m_zoom, (area.right - area.left) * m_zoom,
        (area.bottom - area.top) * m_zoom);
}

void CQtDialogWindow::Invalidate(const RECT& area, bool)
{
    update(FaceToWidget(area));
}

void CQtDialogWindow::SurfaceChanged(const RECT& area)
{
    if (!IsWindow(m_hwnd))
        return;
    // Only the pixels that differ from the screen are sent again: a readout
    // redrawn for a new last digit repaints that digit. What the handlers of
    // a dispatch change is gathered and shown when it ends.
    if (m_dispatching > 0 && m_painting.isEmpty()) {
        m_shown.Changed(m_hwnd->surface, area, m_damage);
        return;
    }
    m_changedParts.clear();
    m_shown.Changed(m_hwnd->surface, area, m_changedParts);
    QRegion changed;
    for (const RECT& part : m_changedParts)
        changed += FaceToWidget(part);
    // What the paint handlers draw inside the region being painted is shown
    // by that same paint event; asking for another would paint it twice.
    changed -= m_painting;
    if (!changed.isEmpty())
        update(changed);
}

void CQtDialogWindow::SetTitle(const CString& title)
{
    setWindowTitle(ToQString(title));
}

void CQtDialogWindow::SetCapture(bool)
{
    // Qt keeps delivering the stylus to the window it went down in until it
    // is lifted, which is all the capture is used for.
}

void CQtDialogWindow::Center()
{
    QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target)
        PlaceCentred(target->availableGeometry());
}

void CQtDialogWindow::PlaceCentred(const QRect& area, QPoint frameOffset)
{
    QScreen* target = QGuiApplication::screenAt(area.center());
    if (!target)
        target = screen() ? screen() : QGuiApplication::primaryScreen();
    // move() places the frame; the client area lies frameOffset further in.
    QPoint corner = area.center() - rect().center() - frameOffset;
    if (target)
        corner = OnScreen(corner, size(), target->availableGeometry());
    move(corner);
}

bool CQtDialogWindow::WindowRect(RECT& rect) const
{
    const QRect client = geometry();
    rect = { client.left(), client.top(), client.left() + client.width(), client.top() + client.height() };
    return true;
}

void CQtDialogWindow::AcceptFiles(bool accept)
{
    setAcceptDrops(accept);
}

void CQtDialogWindow::Cancel()
{
    Route(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
}

void CQtDialogWindow::SetIcon(HICON icon, bool)
{
    if (!icon) {
        return;
    }
    QImage image = QImage::fromData(icon->data, static_cast<int>(icon->size));
    if (image.isNull())
        return;
    m_icon.addPixmap(QPixmap::fromImage(image));
    setWindowIcon(m_icon);
}

bool CQtDialogWindow::event(QEvent* event)
{
    // Pairs with the release in Wake(): a wake event built on another
    // thread is complete before it is read here.
    m_wakesPosted.load(std::memory_order_acquire);
    if (event->type() == kWakeEvent) {
        Dispatch(false);
        return true;
    }
    return QWidget::event(event);
}

QImage* CQtDialogWindow::ScreenImage(QPoint* offset) const
{
    QPaintDevice* device = redirected(offset);
    QBackingStore* store = backingStore();
    if (!device || !store || device != store->paintDevice() || device->devType() != QInternal::Image)
        return nullptr;
    return static_cast<QImage*>(device);
}

void CQtDialogWindow::paintEvent(QPaintEvent* event)
{
    if (!IsWindow(m_hwnd))
        return;
    // A paint into the backing store goes to the screen; one into anything
    // else (a grab) does not, and what it draws is still to be shown.
    QPoint offset;
    QImage* screen = ScreenImage(&offset);
    m_painting = screen ? event->region() : QRegion();
    UpdateWindow(m_hwnd);
    m_painting = QRegion();
    if (!m_template.IsFace() || !IsWindow(m_hwnd))
        return;
    const CPixelBuffer& surface = m_hwnd->surface;
    // The zoomed pixels go straight into the backing store's image when it
    // holds 32-bit pixels, one for each of ours, at the widget's own
    // coordinates; otherwise (a grab, a high-density screen) through a
    // painter, copied as they are, never blended.
    QImage* direct = screen && offset.isNull() && screen->devicePixelRatio() == 1.0
            && screen->rect().contains(rect())
            && (screen->format() == QImage::Format_RGB32 || screen->format() == QImage::Format_ARGB32
                || screen->format() == QImage::Format_ARGB32_Premultiplied)
        ? screen
        : nullptr;
    std::optional<QPainter> painter;
    if (!direct) {
        painter.emplace(this);
        painter->setCompositionMode(QPainter::CompositionMode_Source);
    }
    // Only the face pixels under the part to repaint are zoomed and copied,
    // each rectangle on its own: a refresh of one digit costs that digit.
    const QRect face(0, 0, surface.width, surface.height);
    for (const QRect& part : event->region()) {
        const int left = DivideDown(part.left(), m_zoom);
        const int top = DivideDown(part.top(), m_zoom);
        const QRect source = QRect(QPoint(left, top), QPoint(DivideDown(part.right(), m_zoom), DivideDown(part.bottom(), m_zoom)))
                                 .intersected(face);
        if (source.isEmpty())
            continue;
        if (screen)
            m_shown.Shown(surface, RECT { source.left(), source.top(), source.right() + 1, source.bottom() + 1 });
        if (direct) {
            Zoom(surface, source, *direct);
        } else {
            const QRect target(source.x() * m_zoom, source.y() * m_zoom, source.width() * m_zoom, source.height() * m_zoom);
            painter->drawImage(target.topLeft(), Zoomed(surface, source), target);
        }
    }
}

void CQtDialogWindow::Zoom(const CPixelBuffer& surface, const QRect& source, QImage& image) const
{
    switch (m_zoom) {
    case 1: ZoomRows<1>(surface, source, image, 1); break;
    case 2: ZoomRows<2>(surface, source, image, 2); break;
    case 3: ZoomRows<3>(surface, source, image, 3); break;
    default: ZoomRows<0>(surface, source, image, m_zoom); break;
    }
}

const QImage& CQtDialogWindow::Zoomed(const CPixelBuffer& surface, const QRect& source)
{
    const QSize size(surface.width * m_zoom, surface.height * m_zoom);
    if (m_zoomed.size() != size)
        m_zoomed = QImage(size, QImage::Format_RGB32);
    Zoom(surface, source, m_zoomed);
    return m_zoomed;
}

LPARAM CQtDialogWindow::StylusPosition(QMouseEvent* event) const
{
    QPointF p = event->position();
    int x = DivideDown(static_cast<int>(std::floor(p.x())), m_zoom);
    int y = DivideDown(static_cast<int>(std::floor(p.y())), m_zoom);
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

void CQtDialogWindow::mousePressEvent(QMouseEvent* event)
{
    RecordModifiers(event->modifiers());
    if (event->button() == Qt::LeftButton)
        Route(WM_LBUTTONDOWN, MouseKeys(event->modifiers(), Qt::LeftButton), StylusPosition(event));
}

void CQtDialogWindow::contextMenuEvent(QContextMenuEvent* event)
{
    RecordModifiers(event->modifiers());
    Route(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hwnd), ScreenPosition(event->globalPos()));
}

void CQtDialogWindow::wheelEvent(QWheelEvent* event)
{
    RecordModifiers(event->modifiers());
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    const WPARAM keys = MouseKeys(event->modifiers(), event->buttons());
    Route(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(keys), static_cast<WORD>(static_cast<short>(delta))),
        ScreenPosition(event->globalPosition().toPoint()));
}

void CQtDialogWindow::ScheduleTimers(DWORD delay)
{
    if (delay == INFINITE)
        m_timer.stop();
    else
        m_timer.start(static_cast<int>(std::min<DWORD>(delay, 0x7FFFFFFF)));
}

int CQtDialogWindow::SetZoom(int zoom)
{
    if (!m_template.IsFace())
        return 0;
    QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect available = target ? target->availableGeometry() : QRect();
    m_zoom = ChooseWindowZoom(zoom, available.width(), available.height(), m_template.m_faceWidth,
        m_template.m_faceHeight);
    setFixedSize(m_template.m_faceWidth * m_zoom, m_template.m_faceHeight * m_zoom);
    // A window that grew past the screen's edge moves back onto it, its
    // frame with it.
    if (target) {
        const QRect frame = frameGeometry();
        if (const QPoint corner = OnScreen(frame.topLeft(), frame.size(), available); corner != frame.topLeft())
            move(corner);
    }
    update();
    return m_zoom;
}

POINT CQtDialogWindow::ScreenToClient(POINT screen) const
{
    const QPoint local = mapFromGlobal(QPoint(screen.x, screen.y));
    return POINT { DivideDown(local.x(), m_zoom), DivideDown(local.y(), m_zoom) };
}

void CQtDialogWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Route(WM_LBUTTONUP, 0, StylusPosition(event));
}

void CQtDialogWindow::mouseMoveEvent(QMouseEvent* event)
{
    Route(WM_MOUSEMOVE, (event->buttons() & Qt::LeftButton) ? MK_LBUTTON : 0, StylusPosition(event));
}

namespace {

// A key as the keyboard knows it: its place (the X11 key code) where there
// is one, otherwise Qt's key.
quint32 KeyIdentity(const QKeyEvent& event)
{
    return event.nativeScanCode() != 0 ? event.nativeScanCode() : static_cast<quint32>(event.key());
}

}

bool CQtDialogWindow::TakeKeyPress(const QKeyEvent& event, bool& repeat)
{
    const quint32 key = KeyIdentity(event);
    // Qt marks a repeat when the X server's release and press of a held key
    // arrive together; on a busy connection the press comes a moment too
    // late and neither is marked. They still carry the same time.
    const bool sameMoment = event.nativeScanCode() != 0 && event.timestamp() != 0 && key == m_lastRelease.key
        && event.timestamp() == m_lastRelease.time;
    repeat = event.isAutoRepeat() || sameMoment;
    if (!repeat) {
        m_keysDown.insert(key);
        return true;
    }
    if (sameMoment && m_lastRelease.wasDown)
        m_keysDown.insert(key);
    return m_keysDown.count(key) != 0;
}

void CQtDialogWindow::keyPressEvent(QKeyEvent* event)
{
    // A held key repeats; only its first press counts, and only when it went
    // to this window. A key that closed a dialog or a message box would
    // otherwise go on repeating into the window below it.
    bool repeat = false;
    if (!TakeKeyPress(*event, repeat))
        return;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!repeat)
            Route(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
        break;
    case Qt::Key_Escape:
        if (!repeat)
            Route(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        break;
    // The keyboard's media keys reach the window as the shell sends them.
    case Qt::Key_MediaNext:
    case Qt::Key_MediaPrevious:
    case Qt::Key_MediaTogglePlayPause:
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaStop:
        if (!repeat)
            Route(WM_APPCOMMAND, 0, MAKELPARAM(0, static_cast<WORD>(AppCommandOfKey(event->key()))));
        break;
    default:
        if (const UINT key = m_template.IsFace() ? VirtualKeyOf(*event) : 0) {
            RecordModifiers(event->modifiers());
            Route(WM_KEYDOWN, key, repeat ? KF_REPEAT_BIT : 0);
        } else {
            QWidget::keyPressEvent(event);
        }
    }
}

void CQtDialogWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat()) {
        const quint32 key = KeyIdentity(*event);
        m_lastRelease = { key, event->timestamp(), m_keysDown.erase(key) > 0 };
    }
    QWidget::keyReleaseEvent(event);
}

void CQtDialogWindow::focusOutEvent(QFocusEvent* event)
{
    // Keys let go while another window has the keyboard are never seen here.
    m_keysDown.clear();
    QWidget::focusOutEvent(event);
}

void CQtDialogWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void CQtDialogWindow::dropEvent(QDropEvent* event)
{
    std::vector<CString> files = DroppedFiles(event->mimeData());
    if (files.empty())
        return;
    event->acceptProposedAction();
    // The file opens once the drag source has its answer: a message about
    // the file must not keep the file manager waiting. The post wakes the
    // window after this event.
    HDROP drop = CreateDropFiles(files);
    if (!PostMessageW(m_hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0))
        DragFinish(drop);
}

void CQtDialogWindow::closeEvent(QCloseEvent* event)
{
    if (m_allowClose) {
        event->accept();
        return;
    }
    // The close box asks the dialog to close (as IDCANCEL does unless it
    // handles WM_CLOSE); the window closes when the dialog ends.
    event->ignore();
    Route(WM_CLOSE, 0, 0);
}

void CQtDialogWindow::Detach()
{
    m_hwnd = nullptr;
    m_timer.stop();
}

UINT CQtDialogWindow::VirtualKey(const QKeyEvent& event)
{
    return VirtualKeyOf(event);
}
