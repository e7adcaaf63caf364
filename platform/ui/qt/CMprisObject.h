#pragma once

#include "platform/ui/MediaSession.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QVariantMap>

#include <vector>

// The MPRIS object of one player window (/org/mpris/MediaPlayer2, the
// interfaces org.mpris.MediaPlayer2 and org.mpris.MediaPlayer2.Player). Its
// methods and property writes become messages posted to the window
// (WM_APPCOMMAND, WM_MEDIA_SETPOSITION, WM_MEDIA_SETVOLUME,
// WM_MEDIA_SETRATE, WM_MEDIA_SETREPEAT, WM_MEDIA_SETSHUFFLE, WM_DROPFILES);
// its properties come from the program's
// status source. The object may exist before its window: the files handed
// to it meanwhile wait for Attach. Lives on the GUI thread.
class CMprisObject : public QDBusVirtualObject {
public:
    static const char* const kPath;

    CMprisObject(const MEDIAPLAYERINFO& info, const QDBusConnection& bus);

    // The window the object speaks for from now on.
    void Attach(HWND hwnd, CMediaStatusSource* source);
    // Signals to the desktop what changed since the last call (the
    // PropertiesChanged signal), and a jump of the position (Seeked).
    void Changed(bool seeked);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    MEDIASTATUS Status() const;
    QVariantMap Properties(const QString& interface, const MEDIASTATUS& status) const;
    QVariantMap Metadata(const MEDIASTATUS& status) const;
    QString TrackId(const MEDIASTATUS& status) const;
    bool HandlePlayer(const QDBusMessage& message, const QDBusConnection& connection);
    bool HandleProperties(const QDBusMessage& message, const QDBusConnection& connection);
    bool SetProperty(const QString& name, const QVariant& value, QString& error);
    void Post(UINT message, LPARAM lParam);
    // Files handed over, as one drop; kept until the window is attached.
    void Hand(const std::vector<CString>& paths);
    void Raise();

    HWND m_hwnd { nullptr };
    CMediaStatusSource* m_source { nullptr };
    QString m_identity;
    QString m_desktopEntry;
    QDBusConnection m_bus;
    MEDIASTATUS m_last;
    QElapsedTimer m_sinceLast;
    // Files handed over before the window was attached.
    std::vector<std::vector<CString>> m_pending;
};
