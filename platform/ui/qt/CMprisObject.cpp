#include "platform/ui/qt/CMprisObject.h"

#include "platform/ui/DragDrop.h"
#include "platform/ui/WindowHandle.h"
#include "platform/ui/qt/QtWindows.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

const char* const CMprisObject::kPath = "/org/mpris/MediaPlayer2";

namespace {

const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// The player's own: several files handed over at once, as one list.
const QString kOwn = QStringLiteral("org.tabrino.Player");
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
  <property name="LoopStatus" type="s" access="readwrite"/>
  <property name="Shuffle" type="b" access="readwrite"/>
  <property name="CanGoNext" type="b" access="read"/>
  <property name="CanGoPrevious" type="b" access="read"/>
  <property name="CanPlay" type="b" access="read"/>
  <property name="CanPause" type="b" access="read"/>
  <property name="CanSeek" type="b" access="read"/>
  <property name="CanControl" type="b" access="read"/>
</interface>
<interface name="org.tabrino.Player">
  <method name="OpenUris"><arg name="Uris" type="as" direction="in"/></method>
</interface>
)";

// a + b held within the range of a signed 64-bit number.
LONGLONG SaturatingAdd(LONGLONG a, LONGLONG b)
{
    LONGLONG sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<LONGLONG>::max() : std::numeric_limits<LONGLONG>::min();
}

LONGLONG Within(LONGLONG value, LONGLONG low, LONGLONG high)
{
    return value < low ? low : value > high ? high : value;
}

QString LoopText(int repeat)
{
    switch (repeat) {
    case MEDIA_REPEAT_TRACK:
        return QStringLiteral("Track");
    case MEDIA_REPEAT_PLAYLIST:
        return QStringLiteral("Playlist");
    default:
        return QStringLiteral("None");
    }
}

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

CMprisObject::CMprisObject(const MEDIAPLAYERINFO& info, const QDBusConnection& bus)
    : m_identity(QString::fromWCharArray(info.identity))
    , m_desktopEntry(QString::fromWCharArray(info.desktopEntry))
    , m_bus(bus)
{
    m_sinceLast.start();
}

void CMprisObject::Attach(HWND hwnd, CMediaStatusSource* source)
{
    m_hwnd = hwnd;
    m_source = source;
    m_last = Status();
    m_sinceLast.restart();
    for (const std::vector<CString>& paths : m_pending)
        Hand(paths);
    m_pending.clear();
}

void CMprisObject::Hand(const std::vector<CString>& paths)
{
    if (!m_hwnd) {
        m_pending.push_back(paths);
        return;
    }
    HDROP drop = CreateDropFiles(paths);
    if (!PostMessageW(m_hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0))
        DragFinish(drop);
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
        properties.insert(QStringLiteral("Rate"), status.rate);
        properties.insert(QStringLiteral("MinimumRate"), status.minimumRate);
        properties.insert(QStringLiteral("MaximumRate"), status.maximumRate);
        properties.insert(QStringLiteral("Metadata"), Metadata(status));
        properties.insert(QStringLiteral("Volume"), status.volume / 1000.0);
        properties.insert(QStringLiteral("Position"), QVariant::fromValue(static_cast<qlonglong>(status.positionUs)));
        properties.insert(QStringLiteral("CanGoNext"), status.canGoNext != FALSE);
        properties.insert(QStringLiteral("CanGoPrevious"), status.canGoPrevious != FALSE);
        properties.insert(QStringLiteral("LoopStatus"), LoopText(status.repeat));
        properties.insert(QStringLiteral("Shuffle"), status.shuffle != FALSE);
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
    // Before the window is attached it is about to show anyway.
    if (!m_hwnd)
        return;
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
    if (interface == kOwn && message.member() == QLatin1String("OpenUris") && message.arguments().size() == 1) {
        std::vector<CString> paths;
        for (const QString& uri : message.arguments()[0].toStringList()) {
            CString path;
            if (!PathFromFileUri(uri.toStdString(), path)) {
                connection.send(message.createErrorReply(
                    QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), QStringLiteral("only local files open")));
                return true;
            }
            paths.push_back(path);
        }
        Hand(paths);
        connection.send(message.createReply());
        return true;
    }
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
    } else if (member == QLatin1String("Next")) {
        command(APPCOMMAND_MEDIA_NEXTTRACK);
    } else if (member == QLatin1String("Previous")) {
        command(APPCOMMAND_MEDIA_PREVIOUSTRACK);
    } else if (member == QLatin1String("Seek") && args.size() == 1) {
        // However far the offset, the song goes no further than its start
        // or its end.
        if (status.canSeek) {
            const LONGLONG target = SaturatingAdd(status.positionUs, args[0].toLongLong());
            Post(WM_MEDIA_SETPOSITION, static_cast<LPARAM>(Within(target, 0, status.lengthUs)));
        }
    } else if (member == QLatin1String("SetPosition") && args.size() == 2) {
        // A position for another song is ignored; one outside this song
        // goes to its start or its end.
        if (status.canSeek && qvariant_cast<QDBusObjectPath>(args[0]).path() == TrackId(status)) {
            Post(WM_MEDIA_SETPOSITION, static_cast<LPARAM>(Within(args[1].toLongLong(), 0, status.lengthUs)));
        }
    } else if (member == QLatin1String("OpenUri") && args.size() == 1) {
        CString path;
        if (!PathFromFileUri(args[0].toString().toStdString(), path)) {
            connection.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), QStringLiteral("only local files open")));
            return true;
        }
        Hand({ path });
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
    } else if (member == QLatin1String("Set") && args.size() == 3) {
        QString error;
        if (SetProperty(args[1].toString(), qvariant_cast<QDBusVariant>(args[2]).variant(), error))
            connection.send(message.createReply());
        else
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), error));
    } else {
        return false;
    }
    return true;
}

bool CMprisObject::SetProperty(const QString& name, const QVariant& value, QString& error)
{
    if (name == QLatin1String("LoopStatus")) {
        const QString text = value.toString();
        const int repeat = text == QLatin1String("None") ? MEDIA_REPEAT_NONE
            : text == QLatin1String("Track")             ? MEDIA_REPEAT_TRACK
            : text == QLatin1String("Playlist")          ? MEDIA_REPEAT_PLAYLIST
                                                         : -1;
        if (value.userType() != QMetaType::QString || repeat < 0) {
            error = QStringLiteral("LoopStatus takes None, Track or Playlist");
            return false;
        }
        Post(WM_MEDIA_SETREPEAT, repeat);
        return true;
    }
    if (name == QLatin1String("Shuffle")) {
        if (value.userType() != QMetaType::Bool) {
            error = QStringLiteral("Shuffle takes a boolean");
            return false;
        }
        Post(WM_MEDIA_SETSHUFFLE, value.toBool() ? 1 : 0);
        return true;
    }
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    if (name != QLatin1String("Volume") && name != QLatin1String("Rate")) {
        error = QStringLiteral("the property cannot be written");
        return false;
    }
    if (!isNumber || !std::isfinite(number) || (name == QLatin1String("Rate") && number < 0)) {
        error = QStringLiteral("not a number the property takes");
        return false;
    }
    if (name == QLatin1String("Volume")) {
        // The master volume: full at 1, nothing louder.
        Post(WM_MEDIA_SETVOLUME, static_cast<LPARAM>(std::lround(std::clamp(number, 0.0, 1.0) * 1000)));
    } else if (number == 0) {
        // A rate of 0 asks for a pause.
        Post(WM_APPCOMMAND, MAKELPARAM(0, static_cast<WORD>(APPCOMMAND_MEDIA_PAUSE)));
    } else {
        // The tempo box holds the tempo within its range; the rate follows it.
        const MEDIASTATUS status = Status();
        const double rate = std::clamp(number, status.minimumRate, status.maximumRate);
        Post(WM_MEDIA_SETRATE, static_cast<LPARAM>(std::llround(rate * 1e6)));
    }
    return true;
}

void CMprisObject::Changed(bool seeked)
{
    const MEDIASTATUS now = Status();
    QVariantMap changed;
    if (now.playback != m_last.playback)
        changed.insert(QStringLiteral("PlaybackStatus"), PlaybackText(now.playback));
    if (now.songId != m_last.songId || now.lengthUs != m_last.lengthUs || now.title != m_last.title)
        changed.insert(QStringLiteral("Metadata"), Metadata(now));
    if (now.volume != m_last.volume)
        changed.insert(QStringLiteral("Volume"), now.volume / 1000.0);
    if (now.rate != m_last.rate || now.minimumRate != m_last.minimumRate || now.maximumRate != m_last.maximumRate) {
        changed.insert(QStringLiteral("Rate"), now.rate);
        changed.insert(QStringLiteral("MinimumRate"), now.minimumRate);
        changed.insert(QStringLiteral("MaximumRate"), now.maximumRate);
    }
    if (now.canPlay != m_last.canPlay) {
        changed.insert(QStringLiteral("CanPlay"), now.canPlay != FALSE);
        changed.insert(QStringLiteral("CanPause"), now.canPlay != FALSE);
    }
    if (now.canSeek != m_last.canSeek)
        changed.insert(QStringLiteral("CanSeek"), now.canSeek != FALSE);
    if (now.canGoNext != m_last.canGoNext)
        changed.insert(QStringLiteral("CanGoNext"), now.canGoNext != FALSE);
    if (now.canGoPrevious != m_last.canGoPrevious)
        changed.insert(QStringLiteral("CanGoPrevious"), now.canGoPrevious != FALSE);
    if (now.repeat != m_last.repeat)
        changed.insert(QStringLiteral("LoopStatus"), LoopText(now.repeat));
    if (now.shuffle != m_last.shuffle)
        changed.insert(QStringLiteral("Shuffle"), now.shuffle != FALSE);
    if (!changed.isEmpty()) {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kPath), kProperties,
            QStringLiteral("PropertiesChanged"));
        signal << kPlayer << changed << QStringList();
        m_bus.send(signal);
    }
    // The position moves with the time while a song plays; any other change
    // of it is a seek (a new tempo, the end of a loop), as are the seeks the
    // program tells of.
    const LONGLONG expected = m_last.positionUs
        + (m_last.playback == MEDIA_PLAYING ? static_cast<LONGLONG>(m_sinceLast.restart()) * 1000 : 0);
    if (m_last.playback != MEDIA_PLAYING)
        m_sinceLast.restart();
    if (now.songId == m_last.songId && (seeked || std::llabs(now.positionUs - expected) > kJumpUs)) {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kPath), kPlayer, QStringLiteral("Seeked"));
        signal << static_cast<qlonglong>(now.positionUs);
        m_bus.send(signal);
    }
    m_last = now;
}
