#pragma once

#include "platform/ui/CDialogTemplate.h"
#include "platform/ui/CPixelBuffer.h"
#include "platform/ui/CShownPixels.h"
#include "platform/ui/CWindowBackend.h"

#include <QIcon>
#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <set>
#include <vector>

class CDialog;
class CQtControl;
class QEventLoop;
class QKeyEvent;

// The Qt window of one modal dialog. A skinned dialog (its template names a
// face size) shows its client pixels scaled by an integer zoom with nearest
// neighbours and divides stylus positions back; an ordinary dialog shows Qt
// widgets for its controls, placed from dialog units. Messages for the
// dialog, posted from any thread, are dispatched on the GUI thread.
class CQtDialogWindow : public QWidget, public CWindowBackend {
public:
    // One dialog unit in pixels, horizontally and vertically: the dialog
    // font's average character is about 8 pixels wide and 16 pixels tall.
    static constexpr int kDialogUnitX = 2;
    static constexpr int kDialogUnitY = 2;

    CQtDialogWindow(CDialog& dialog, const CDialogTemplate& dialogTemplate, int zoom, QWidget* parent);
    ~CQtDialogWindow() override;

    // Creates the dialog's window handle and its controls.
    bool Create();
    // Initialises, shows and runs the dialog until it ends; returns its result.
    int RunModal();

    // Posts the message to the dialog and dispatches the queue at once, so
    // that input keeps its order with what the handlers post.
    void Route(UINT message, WPARAM wParam, LPARAM lParam);
    QRect DialogUnitsToPixels(int x, int y, int width, int height) const;
    int Zoom() const { return m_zoom; }
    QWidget* ControlWidget(HWND control) const;

    void Wake() override;
    void Invalidate(const RECT& area, bool erase) override;
    void SurfaceChanged(const RECT& area) override;
    void SetTitle(const CString& title) override;
    void SetCapture(bool captured) override;
    void Center() override;
    void SetIcon(HICON icon, bool big) override;
    void AcceptFiles(bool accept) override;
    void ScheduleTimers(DWORD delay) override;
    POINT ScreenToClient(POINT screen) const override;
    int SetZoom(int zoom) override;
    // The client area on the screen, in screen pixels (a face's zoomed).
    bool WindowRect(RECT& rect) const override;

    // Moves the window's client area to the middle of area, its frame
    // (frameOffset from the frame's corner to the client's) kept on the
    // screen.
    void PlaceCentred(const QRect& area, QPoint frameOffset = QPoint());
    // Cancels the dialog as its close box does.
    void Cancel();
    // The dialog's handle is gone: the window lets go of it.
    void Detach();
    // The virtual-key code of a key event as a face takes it, 0 for none.
    static UINT VirtualKey(const QKeyEvent& event);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

protected:
    // Whether a key press may act here, and whether it repeats a press: a
    // key whose first press went to another window (a dialog, a message
    // box, the face that opened a tool window) never acts here while it is
    // held.
    bool TakeKeyPress(const QKeyEvent& event, bool& repeat);

private:
    void Dispatch(bool followPosts);
    LPARAM StylusPosition(QMouseEvent* event) const;
    QRect FaceToWidget(const RECT& area) const;
    // The image of the backing store, and where the widget lies in it, when
    // this paint goes to the screen; null for a paint into anything else.
    QImage* ScreenImage(QPoint* offset) const;
    // Zooms the face pixels of surface inside source into image (the face's
    // size times the zoom, or larger).
    void Zoom(const CPixelBuffer& surface, const QRect& source, QImage& image) const;
    // The face zoomed, brought up to date from surface inside source.
    const QImage& Zoomed(const CPixelBuffer& surface, const QRect& source);

    CDialog& m_dialog;
    CDialogTemplate m_template;
    int m_zoom;
    HWND m_hwnd { nullptr };
    QEventLoop* m_loop { nullptr };
    bool m_allowClose { false };
    std::atomic<bool> m_wakePending { false };
    std::atomic<unsigned> m_wakesPosted { 0 };
    QIcon m_icon;
    // While a paint event runs: the part of the window it shows.
    QRegion m_painting;
    // While posted messages are dispatched: what their handlers changed on
    // the window, shown in one repaint when the dispatch ends.
    int m_dispatching { 0 };
    std::vector<RECT> m_damage;
    // The face pixels as the screen shows them.
    CShownPixels m_shown;
    std::vector<RECT> m_changedParts;
    QImage m_zoomed;
    std::vector<std::unique_ptr<CQtControl>> m_controls;
    // Runs out when the dialog's next window timer is due.
    QTimer m_timer;
    // The keys held whose first press this window saw, and the last key let
    // go, to tell the repeats of a held key that Qt did not mark.
    std::set<quint32> m_keysDown;
    struct Release {
        quint32 key { 0 };
        quint64 time { 0 };
        bool wasDown { false };
    } m_lastRelease;
};
