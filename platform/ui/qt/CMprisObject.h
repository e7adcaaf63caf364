#pragma once

#include "platform/ui/MediaSession.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QTimer>
#include <QVariantMap>

// The MPRIS object of one player window (/org/mpris/MediaPlayer2, the
// interfaces org.mpris.MediaPlayer2 and org.mpris.MediaPlayer2.Player). Its
// methods become messages posted to the window (WM_APPCOMMAND,
// WM_MEDIA_SETPOSITION, WM_DROPFILES); its properties come from the
// program's status source, which is also watched a few times a second so
// that changes are signalled to the desktop. Lives on the GUI thread.
class CMprisObject : public QDBusVirtualObject {
public:
    static const char* const kPath;

    CMprisObject(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info, const QDBusConnection& bus);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    MEDIASTATUS Status() const;
    QVariantMap Properties(const QString& interface, const MEDIASTATUS& status) const;
    QVariantMap Metadata(const MEDIASTATUS& status) const;
    QString TrackId(const MEDIASTATUS& status) const;
    bool HandlePlayer(const QDBusMessage& message, const QDBusConnection& connection);
    bool HandleProperties(const QDBusMessage& message, const QDBusConnection& connection);
    void Post(UINT message, LPARAM lParam);
    void Raise();
    // Signals what changed since the last look.
    void Watch();

    HWND m_hwnd;
    CMediaStatusSource* m_source;
    QString m_identity;
    QString m_desktopEntry;
    QDBusConnection m_bus;
    QTimer m_watch;
    MEDIASTATUS m_last;
    QElapsedTimer m_sinceLast;
    bool m_seeked { false };
};
