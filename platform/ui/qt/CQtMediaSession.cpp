#include "platform/ui/qt/CQtMediaSession.h"

#include "platform/ui/DragDrop.h"
#include "platform/ui/qt/CMprisObject.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>

namespace {

const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
// A player that does not answer within this time counts as gone. A start
// that took the name a moment ago answers once its window is up, which a
// loaded machine may take seconds to show.
constexpr int kCallTimeoutMs = 20000;

// Qt would otherwise start a bus of its own (autolaunch) where the session
// has none.
bool HasSessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

QString BusName(const MEDIAPLAYERINFO& info)
{
    return kRootInterface + QLatin1Char('.') + QString::fromWCharArray(info.name);
}

QString ObjectPath()
{
    return QString::fromLatin1(CMprisObject::kPath);
}

}

CQtMediaSession::CQtMediaSession() = default;

CQtMediaSession::~CQtMediaSession()
{
    while (!m_published.empty())
        Withdraw(m_published.begin()->first);
    Unregister(m_claimed);
}

bool CQtMediaSession::Register(const MEDIAPLAYERINFO& info, const QString& name, Published& published)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto object = std::make_unique<CMprisObject>(info, bus);
    if (!bus.registerVirtualObject(ObjectPath(), object.get(), QDBusConnection::SingleNode))
        return false;
    // The object is in place before the name that leads to it.
    if (!bus.registerService(name)) {
        bus.unregisterObject(ObjectPath());
        return false;
    }
    published = { std::move(object), name };
    return true;
}

void CQtMediaSession::Unregister(Published& published)
{
    if (!published.object)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(published.serviceName);
    bus.unregisterObject(ObjectPath());
    published = Published();
}

int CQtMediaSession::Claim(const MEDIAPLAYERINFO& info, const std::vector<CString>& files)
{
    if (!HasSessionBus() || !QDBusConnection::sessionBus().isConnected())
        return MEDIA_NO_SESSION;
    if (m_claimed.object)
        return MEDIA_CLAIMED;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString name = BusName(info);
    // Taking the name is the one step that decides; a player that holds it
    // and ends before it is called leaves the name free for a second try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Register(info, name, m_claimed))
            return MEDIA_CLAIMED;
        if (bus.interface() && bus.interface()->isServiceRegistered(name))
            return HandOver(info, files) ? MEDIA_HANDED_OVER : MEDIA_NOT_ANSWERED;
    }
    return MEDIA_NOT_ANSWERED;
}

BOOL CQtMediaSession::Publish(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info)
{
    if (!HasSessionBus() || m_published.count(hwnd) || !QDBusConnection::sessionBus().isConnected())
        return FALSE;
    Published published;
    if (m_claimed.object) {
        published = std::move(m_claimed);
    } else if (!Register(info, BusName(info), published)
        && !Register(info, BusName(info) + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid()),
            published)) {
        return FALSE;
    }
    published.object->Attach(hwnd, source);
    m_published[hwnd] = std::move(published);
    return TRUE;
}

void CQtMediaSession::Withdraw(HWND hwnd)
{
    auto found = m_published.find(hwnd);
    if (found == m_published.end())
        return;
    Unregister(found->second);
    m_published.erase(found);
}

void CQtMediaSession::StatusChanged(HWND hwnd, BOOL seeked)
{
    auto found = m_published.find(hwnd);
    if (found != m_published.end())
        found->second.object->Changed(seeked != FALSE);
}

bool CQtMediaSession::HandOver(const MEDIAPLAYERINFO& info, const std::vector<CString>& files)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString name = BusName(info);
    auto call = [&](const QString& interface, const QString& method, const QVariantList& args) {
        QDBusMessage message = QDBusMessage::createMethodCall(name, ObjectPath(), interface, method);
        message.setArguments(args);
        return bus.call(message, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
    };
    // One file goes as the desktop's media widget would send it; several go
    // in one call, so that they arrive as one list.
    if (files.size() == 1
        && !call(kRootInterface + QStringLiteral(".Player"), QStringLiteral("OpenUri"),
            { QString::fromStdString(FileUriFromPath(files.front())) }))
        return false;
    if (files.size() > 1) {
        QStringList uris;
        for (const CString& file : files)
            uris << QString::fromStdString(FileUriFromPath(file));
        if (!call(QStringLiteral("org.tabrino.Player"), QStringLiteral("OpenUris"), { uris }))
            return false;
    }
    return call(kRootInterface, QStringLiteral("Raise"), {});
}
