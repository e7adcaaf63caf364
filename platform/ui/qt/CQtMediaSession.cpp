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
// A player that does not answer within this time counts as gone.
constexpr int kCallTimeoutMs = 5000;

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

}

CQtMediaSession::CQtMediaSession() = default;

CQtMediaSession::~CQtMediaSession()
{
    while (!m_published.empty())
        Withdraw(m_published.begin()->first);
}

BOOL CQtMediaSession::Publish(HWND hwnd, CMediaStatusSource* source, const MEDIAPLAYERINFO& info)
{
    if (!HasSessionBus() || m_published.count(hwnd))
        return FALSE;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return FALSE;
    auto object = std::make_unique<CMprisObject>(hwnd, source, info, bus);
    if (!bus.registerVirtualObject(QString::fromLatin1(CMprisObject::kPath), object.get(),
            QDBusConnection::SingleNode))
        return FALSE;
    // The object is in place before the name that leads to it.
    QString name = BusName(info);
    if (!bus.registerService(name)) {
        name += QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
        if (!bus.registerService(name)) {
            bus.unregisterObject(QString::fromLatin1(CMprisObject::kPath));
            return FALSE;
        }
    }
    m_published[hwnd] = { std::move(object), name };
    return TRUE;
}

void CQtMediaSession::Withdraw(HWND hwnd)
{
    auto found = m_published.find(hwnd);
    if (found == m_published.end())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(found->second.serviceName);
    bus.unregisterObject(QString::fromLatin1(CMprisObject::kPath));
    m_published.erase(found);
}

BOOL CQtMediaSession::PassToRunningPlayer(const MEDIAPLAYERINFO& info, const CString& file)
{
    if (!HasSessionBus())
        return FALSE;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString name = BusName(info);
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(name))
        return FALSE;
    auto call = [&](const QString& interface, const QString& method, const QVariantList& args) {
        QDBusMessage message = QDBusMessage::createMethodCall(name, QString::fromLatin1(CMprisObject::kPath), interface, method);
        message.setArguments(args);
        return bus.call(message, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
    };
    if (!file.IsEmpty()
        && !call(kRootInterface + QStringLiteral(".Player"), QStringLiteral("OpenUri"),
            { QString::fromStdString(FileUriFromPath(file)) }))
        return FALSE;
    return call(kRootInterface, QStringLiteral("Raise"), {}) ? TRUE : FALSE;
}
