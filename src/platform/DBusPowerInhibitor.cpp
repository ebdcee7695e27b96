#include "DBusPowerInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

using namespace Qt::StringLiterals;

namespace {

const QString ScreenSaverService = u"org.freedesktop.ScreenSaver"_s;
const QString ScreenSaverPath = u"/org/freedesktop/ScreenSaver"_s;
const QString ScreenSaverInterface = u"org.freedesktop.ScreenSaver"_s;
const QString LoginService = u"org.freedesktop.login1"_s;
const QString LoginPath = u"/org/freedesktop/login1"_s;
const QString LoginInterface = u"org.freedesktop.login1.Manager"_s;

} // namespace

DBusPowerInhibitor::DBusPowerInhibitor(QString appName, QDBusConnection sessionBus, QDBusConnection systemBus)
    : m_appName(std::move(appName))
    , m_session(std::move(sessionBus))
    , m_system(std::move(systemBus))
    , m_calls(std::make_unique<QObject>())
{
}

DBusPowerInhibitor::~DBusPowerInhibitor()
{
    Release();
}

void DBusPowerInhibitor::Inhibit(const QString &reason)
{
    if (m_inhibited)
        return;
    m_inhibited = true;
    const int generation = ++m_generation;

    if (m_session.isConnected()) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath, ScreenSaverInterface, u"Inhibit"_s);
        call << m_appName << reason;
        auto *watcher = new QDBusPendingCallWatcher(m_session.asyncCall(call), m_calls.get());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_calls.get(),
                         [this, generation](QDBusPendingCallWatcher *w) {
                             const QDBusPendingReply<std::uint32_t> reply = *w;
                             if (!reply.isError())
                                 OnScreenSaverReply(reply.value(), generation);
                             w->deleteLater();
                         });
    }
    if (m_system.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(LoginService, LoginPath, LoginInterface, u"Inhibit"_s);
        call << u"sleep"_s << m_appName << reason << u"block"_s;
        auto *watcher = new QDBusPendingCallWatcher(m_system.asyncCall(call), m_calls.get());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_calls.get(),
                         [this, generation](QDBusPendingCallWatcher *w) {
                             const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                             if (!reply.isError())
                                 OnSleepReply(reply.value(), generation);
                             w->deleteLater();
                         });
    }
}

void DBusPowerInhibitor::OnScreenSaverReply(std::uint32_t cookie, int generation)
{
    if (m_inhibited && generation == m_generation)
        m_cookie = cookie;
    else
        UnInhibitScreenSaver(cookie);
}

void DBusPowerInhibitor::OnSleepReply(const QDBusUnixFileDescriptor &fd, int generation)
{
    // An answer for a refusal already ended is dropped, which closes its descriptor.
    if (m_inhibited && generation == m_generation)
        m_sleepLock = fd;
}

void DBusPowerInhibitor::UnInhibitScreenSaver(std::uint32_t cookie)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath, ScreenSaverInterface, u"UnInhibit"_s);
    call << cookie;
    m_session.call(call, QDBus::NoBlock);
}

void DBusPowerInhibitor::Release()
{
    if (!m_inhibited)
        return;
    m_inhibited = false;
    if (m_cookie) {
        UnInhibitScreenSaver(*m_cookie);
        m_cookie.reset();
    }
    // logind ends the refusal when the last copy of its descriptor closes.
    m_sleepLock = QDBusUnixFileDescriptor();
}
