#include "platform/ui/qt/CMprisObject.h"

#include "platform/ui/DragDrop.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/qt/QtWindows.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QWidget>

#include <cstdlib>

const char* const CMprisObject::kPath = "/org/mpris/MediaPlayer2";

namespace {

const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// A jump of the position by more than this, against the time gone by, is
// told to the desktop as a seek.
constexpr LONGLONG kJumpUs = 1000000;

const char* const kInterfaces = R"(<interface name="org.mpris.MediaPlayer2">
  <method name="Raise"/>
  <method name="Quit"/>
  <property name="CanQuit" type="b" access="read"/>
  <property name="CanRaise" type="b" access="read"/>
  <property name="HasTrackList" type="b" access="read"/>
  <property name="Identity" type="s" access="read"/>
  <property name="DesktopEntry" type="s" access="read"/>
  <property name="SupportedUriSchemes" type="as" access="read"/>
  <property name="SupportedMimeTypes" type="as" access="read"/>
</interface>
<interface name="org.mpris.MediaPlayer2.Player">
  <method name="Next"/>
  <method name="Previous"/>
  <method name="Pause"/>
  <method name="PlayPause"/>
  <method name="Stop"/>
  <method name="Play"/>
  <method name="Seek"><arg name="Offset" type="x" direction="in"/></method>
  <method name="SetPosition"><arg name="TrackId" type="o" direction="in"/><arg name="Position" type="x" direction="in"/></method>
  <method name="OpenUri"><arg name="Uri" type="s" direction="in"/></method>
  <signal name="Seeked"><arg name="Position" type="x"/></signal>
  <property name="PlaybackStatus" type="s" access="read"/>
  <property name="Rate" type="d" access="readwrite"/>
  <property name="Metadata" type="a{sv}" access="read"/>
  <property name="Volume" type="d" access="readwrite"/>
  <property name="Position" type="x" access="read"/>
  <property name="MinimumRate" type="d" access="read"/>
  <property name="MaximumRate" type="d" access="read"/>
  <property name="CanGoNext" type="b" access="read"/>
  <property name="CanGoPrevious" type="b" access="read"/>
  <property name="CanPlay" type="b" access="read"/>
  <property name="CanPause" type="b" access="read"/>
  <property name="CanSeek" type="b" access="read"/>
  <property name="CanControl" type="b" access="read"/>
</interface>
)";

QString PlaybackText(int playback)
{
    switch (playback) {
    case MEDIA_PLAYING:
        return QStringLiteral("Playing");
    case MEDIA_PAUSED:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

}

CMprisObject::CMprisObject(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info, const QDBusConnection& bus)
    : m_hwnd(hwnd)
    , m_source(source)
    , m_identity(QString::fromWCharArray(info.identity))
    , m_desktopEntry(QString::fromWCharArray(info.desktopEntry))
    , m_bus(bus)
{
    m_last = Status();
    m_sinceLast.start();
    QObject::connect(&m_watch, &QTimer::timeout, [this]() { Watch(); });
    m_watch.start(200);
}

MEDIASTATUS CMprisObject::Status() const
{
    MEDIASTATUS status;
    if (m_source && IsWindow(m_hwnd))
        m_source->GetMediaStatus(status);
    return status;
}

QString CMprisObject::introspect(const QString&) const
{
    return QString::fromLatin1(kInterfaces);
}

QString CMprisObject::TrackId(const MEDIASTATUS& status) const
{
    if (status.songId == 0)
        return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
    return QStringLiteral("/org/tabrino/song/") + QString::number(status.songId);
}

QVariantMap CMprisObject::Metadata(const MEDIASTATUS& status) const
{
    QVariantMap metadata;
    metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId(status))));
    if (status.songId == 0)
        return metadata;
    metadata.insert(QStringLiteral("mpris:length"), QVariant::fromValue(static_cast<qlonglong>(status.lengthUs)));
    metadata.insert(QStringLiteral("xesam:title"), ToQString(status.title));
    metadata.insert(QStringLiteral("xesam:url"), QString::fromStdString(FileUriFromPath(status.path)));
    return metadata;
}

QVariantMap CMprisObject::Properties(const QString& interface, const MEDIASTATUS& status) const
{
    QVariantMap properties;
    if (interface == kRoot) {
        properties.insert(QStringLiteral("CanQuit"), true);
        properties.insert(QStringLiteral("CanRaise"), true);
        properties.insert(QStringLiteral("HasTrackList"), false);
        properties.insert(QStringLiteral("Identity"), m_identity);
        properties.insert(QStringLiteral("DesktopEntry"), m_desktopEntry);
        properties.insert(QStringLiteral("SupportedUriSchemes"), QStringList { QStringLiteral("file") });
        properties.insert(QStringLiteral("SupportedMimeTypes"),
            QStringList { QStringLiteral("audio/midi"), QStringLiteral("audio/x-midi") });
    } else if (interface == kPlayer) {
        properties.insert(QStringLiteral("PlaybackStatus"), PlaybackText(status.playback));
        properties.insert(QStringLiteral("Rate"), 1.0);
        properties.insert(QStringLiteral("MinimumRate"), 1.0);
        properties.insert(QStringLiteral("MaximumRate"), 1.0);
        properties.insert(QStringLiteral("Metadata"), Metadata(status));
        properties.insert(QStringLiteral("Volume"), status.volume / 1000.0);
        properties.insert(QStringLiteral("Position"), QVariant::fromValue(static_cast<qlonglong>(status.positionUs)));
        properties.insert(QStringLiteral("CanGoNext"), false);
        properties.insert(QStringLiteral("CanGoPrevious"), false);
        properties.insert(QStringLiteral("CanPlay"), status.canPlay != FALSE);
        properties.insert(QStringLiteral("CanPause"), status.canPlay != FALSE);
        properties.insert(QStringLiteral("CanSeek"), status.canSeek != FALSE);
        properties.insert(QStringLiteral("CanControl"), true);
    }
    return properties;
}

void CMprisObject::Post(UINT message, LPARAM lParam)
{
    PostMessageW(m_hwnd, message, reinterpret_cast<WPARAM>(m_hwnd), lParam);
}

void CMprisObject::Raise()
{
    QWidget* window = TopDialogWindow();
    if (!window)
        window = WidgetOfWindow(m_hwnd);
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

bool CMprisObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    const QString interface = message.interface();
    if (interface == kProperties)
        return HandleProperties(message, connection);
    if (interface == kPlayer)
        return HandlePlayer(message, connection);
    if (interface != kRoot && !interface.isEmpty())
        return false;
    if (message.member() == QLatin1String("Raise")) {
        Raise();
    } else if (message.member() == QLatin1String("Quit")) {
        // After the reply has gone: the windows close as their close boxes
        // make them.
        QTimer::singleShot(0, []() { CloseAllWindows(); });
    } else {
        return interface.isEmpty() && HandlePlayer(message, connection);
    }
    connection.send(message.createReply());
    return true;
}

bool CMprisObject::HandlePlayer(const QDBusMessage& message, const QDBusConnection& connection)
{
    const QString member = message.member();
    const QVariantList args = message.arguments();
    const MEDIASTATUS status = Status();
    auto command = [this](int code) { Post(WM_APPCOMMAND, MAKELPARAM(0, static_cast<WORD>(code))); };
    if (member == QLatin1String("PlayPause")) {
        command(APPCOMMAND_MEDIA_PLAY_PAUSE);
    } else if (member == QLatin1String("Play")) {
        command(APPCOMMAND_MEDIA_PLAY);
    } else if (member == QLatin1String("Pause")) {
        command(APPCOMMAND_MEDIA_PAUSE);
    } else if (member == QLatin1String("Stop")) {
        command(APPCOMMAND_MEDIA_STOP);
    } else if (member == QLatin1String("Next") || member == QLatin1String("Previous")) {
        // One song at a time: nothing to go to.
    } else if (member == QLatin1String("Seek") && args.size() == 1) {
        if (status.canSeek) {
            LONGLONG target = status.positionUs + args[0].toLongLong();
            target = target < 0 ? 0 : target > status.lengthUs ? status.lengthUs : target;
            Post(WM_MEDIA_SETPOSITION, static_cast<LPARAM>(target));
            m_seeked = true;
        }
    } else if (member == QLatin1String("SetPosition") && args.size() == 2) {
        // A position for another song, or outside this one, is ignored.
        const LONGLONG target = args[1].toLongLong();
        if (status.canSeek && qvariant_cast<QDBusObjectPath>(args[0]).path() == TrackId(status) && target >= 0
            && target <= status.lengthUs) {
            Post(WM_MEDIA_SETPOSITION, static_cast<LPARAM>(target));
            m_seeked = true;
        }
    } else if (member == QLatin1String("OpenUri") && args.size() == 1) {
        CString path;
        if (!PathFromFileUri(args[0].toString().toStdString(), path)) {
            connection.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), QStringLiteral("only local files open")));
            return true;
        }
        HDROP drop = CreateDropFiles({ path });
        if (!PostMessageW(m_hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0))
            DragFinish(drop);
    } else {
        return false;
    }
    connection.send(message.createReply());
    return true;
}

bool CMprisObject::HandleProperties(const QDBusMessage& message, const QDBusConnection& connection)
{
    const QString member = message.member();
    const QVariantList args = message.arguments();
    if (args.isEmpty())
        return false;
    const QVariantMap properties = Properties(args[0].toString(), Status());
    if (member == QLatin1String("GetAll")) {
        connection.send(message.createReply(QVariant(properties)));
    } else if (member == QLatin1String("Get") && args.size() == 2) {
        const QString name = args[1].toString();
        if (!properties.contains(name)) {
            connection.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), QStringLiteral("no such property")));
            return true;
        }
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(properties.value(name)))));
    } else if (member == QLatin1String("Set")) {
        // Rate stays 1 and the volume is the face's: setting either has no
        // effect, as a player that cannot change them answers.
        connection.send(message.createReply());
    } else {
        return false;
    }
    return true;
}

void CMprisObject::Watch()
{
    const MEDIASTATUS now = Status();
    QVariantMap changed;
    if (now.playback != m_last.playback)
        changed.insert(QStringLiteral("PlaybackStatus"), PlaybackText(now.playback));
    if (now.songId != m_last.songId || now.lengthUs != m_last.lengthUs || now.title != m_last.title)
        changed.insert(QStringLiteral("Metadata"), Metadata(now));
    if (now.volume != m_last.volume)
        changed.insert(QStringLiteral("Volume"), now.volume / 1000.0);
    if (now.canPlay != m_last.canPlay) {
        changed.insert(QStringLiteral("CanPlay"), now.canPlay != FALSE);
        changed.insert(QStringLiteral("CanPause"), now.canPlay != FALSE);
    }
    if (now.canSeek != m_last.canSeek)
        changed.insert(QStringLiteral("CanSeek"), now.canSeek != FALSE);
    if (!changed.isEmpty()) {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kPath), kProperties,
            QStringLiteral("PropertiesChanged"));
        signal << kPlayer << changed << QStringList();
        m_bus.send(signal);
    }
    // The position moves with the time while a song plays; any other change
    // is a seek (the position slider, a new tempo, a seek from the desktop).
    const LONGLONG expected = m_last.positionUs
        + (m_last.playback == MEDIA_PLAYING ? static_cast<LONGLONG>(m_sinceLast.restart()) * 1000 : 0);
    if (m_last.playback != MEDIA_PLAYING)
        m_sinceLast.restart();
    if (m_seeked || (now.songId == m_last.songId && std::llabs(now.positionUs - expected) > kJumpUs)) {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kPath), kPlayer, QStringLiteral("Seeked"));
        signal << static_cast<qlonglong>(now.positionUs);
        m_bus.send(signal);
        m_seeked = false;
    }
    m_last = now;
}
