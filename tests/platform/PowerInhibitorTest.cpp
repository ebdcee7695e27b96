#include "DBusPowerInhibitor.h"
#include "FakePowerInhibitor.h"
#include "HangGuard.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

/** @short The desktop's screen saver service as the inhibitor sees it. */
class FakeScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QStringList inhibits; // "application|reason"
    QList<uint> uninhibits;
    bool holdReplies = false;
    QList<QDBusMessage> heldCalls;
    uint lastCookie = 40;

public Q_SLOTS:
    Q_SCRIPTABLE uint Inhibit(const QString &application, const QString &reason)
    {
        inhibits.append(application + u'|' + reason);
        if (holdReplies) {
            setDelayedReply(true);
            heldCalls.append(message());
            return 0;
        }
        return ++lastCookie;
    }
    Q_SCRIPTABLE void UnInhibit(uint cookie) { uninhibits.append(cookie); }
};

/** @short logind's manager: hands out the write end of a pipe as the lock. */
class FakeLogin : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLogin() override
    {
        for (int fd : readEnds)
            ::close(fd);
    }
    QStringList inhibits; // "what|who|why|mode"
    QList<int> readEnds;

    /** True when every copy of the write end of lock n is closed. */
    bool Released(int n) const
    {
        char byte;
        return ::read(readEnds.at(n), &byte, 1) == 0;
    }

public Q_SLOTS:
    Q_SCRIPTABLE QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why,
                                                 const QString &mode)
    {
        inhibits.append(what + u'|' + who + u'|' + why + u'|' + mode);
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return {};
        ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
        readEnds.append(fds[0]);
        QDBusUnixFileDescriptor lock(fds[1]); // keeps a copy of its own
        ::close(fds[1]);
        return lock;
    }
};

/** @short A private message bus, its socket in a temporary folder, with the two services on it. */
class PowerInhibitorTest : public testing::Test {
protected:
    void SetUp() override
    {
        const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
        if (daemon.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        bus.start(daemon,
                  {u"--session"_s, u"--nofork"_s, u"--print-address"_s, u"--address=unix:dir="_s + socketDir.path()});
        ASSERT_TRUE(bus.waitForReadyRead(HangGuardMs))
            << "the message bus had not printed its address after " << HangGuardMs / 1000 << " s ("
            << bus.errorString().toStdString() << ")";
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        service = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, u"power-service"_s));
        client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, u"power-client"_s));
        ASSERT_TRUE(service->isConnected());
        ASSERT_TRUE(client->isConnected());
    }

    void Publish(bool screenSaver, bool login)
    {
        if (screenSaver) {
            ASSERT_TRUE(service->registerService(u"org.freedesktop.ScreenSaver"_s));
            ASSERT_TRUE(service->registerObject(u"/org/freedesktop/ScreenSaver"_s, &saver,
                                                QDBusConnection::ExportScriptableSlots));
        }
        if (login) {
            ASSERT_TRUE(service->registerService(u"org.freedesktop.login1"_s));
            ASSERT_TRUE(
                service->registerObject(u"/org/freedesktop/login1"_s, &logind, QDBusConnection::ExportScriptableSlots));
        }
    }

    void TearDown() override
    {
        if (service) {
            QDBusConnection::disconnectFromBus(u"power-service"_s);
            QDBusConnection::disconnectFromBus(u"power-client"_s);
        }
        if (bus.state() != QProcess::NotRunning) {
            bus.kill();
            bus.waitForFinished(5000);
        }
    }

    QTemporaryDir socketDir;
    QProcess bus;
    std::unique_ptr<QDBusConnection> service;
    std::unique_ptr<QDBusConnection> client;
    FakeScreenSaver saver;
    FakeLogin logind;
};

} // namespace

TEST_F(PowerInhibitorTest, HoldsScreenSaverAndSleepFromInhibitUntilRelease)
{
    Publish(true, true);
    DBusPowerInhibitor inhibitor(u"Velko Courierline"_s, *client, *client);
    inhibitor.Inhibit(u"Sending e-mail"_s);
    EXPECT_TRUE(inhibitor.IsInhibited());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return inhibitor.HoldsScreenSaverCookie() && inhibitor.HoldsSleepLock(); }, HangGuardMs))
        << "the inhibitor still did not hold both the cookie and the sleep lock after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(saver.inhibits, QStringList{u"Velko Courierline|Sending e-mail"_s});
    EXPECT_EQ(logind.inhibits, QStringList{u"sleep|Velko Courierline|Sending e-mail|block"_s});
    EXPECT_FALSE(logind.Released(0));

    // Asking again while held asks the services nothing.
    inhibitor.Inhibit(u"again"_s);
    QTest::qWait(100);
    EXPECT_EQ(saver.inhibits.size(), 1);
    EXPECT_EQ(logind.inhibits.size(), 1);

    const uint cookie = saver.lastCookie;
    inhibitor.Release();
    EXPECT_FALSE(inhibitor.IsInhibited());
    EXPECT_FALSE(inhibitor.HoldsSleepLock());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !saver.uninhibits.isEmpty(); }, HangGuardMs))
        << "the screen saver had still not been given its cookie back after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(saver.uninhibits, QList<uint>{cookie});
    EXPECT_TRUE(QTest::qWaitFor([&] { return logind.Released(0); }, HangGuardMs))
        << "the sleep lock was still held after " << HangGuardMs / 1000 << " s";

    // The next job refuses again, with a new cookie and a new lock.
    inhibitor.Inhibit(u"Sending e-mail"_s);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return inhibitor.HoldsScreenSaverCookie() && inhibitor.HoldsSleepLock(); }, HangGuardMs))
        << "the inhibitor still did not hold both the cookie and the sleep lock after " << HangGuardMs / 1000 << " s";
    inhibitor.Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return saver.uninhibits.size() == 2; }, HangGuardMs))
        << "the screen saver had got " << saver.uninhibits.size() << " cookies back, not 2, after "
        << HangGuardMs / 1000 << " s";
    EXPECT_EQ(saver.uninhibits.last(), saver.lastCookie);
    EXPECT_TRUE(QTest::qWaitFor([&] { return logind.Released(1); }, HangGuardMs))
        << "the second sleep lock was still held after " << HangGuardMs / 1000 << " s";
}

TEST_F(PowerInhibitorTest, AnswerArrivingAfterReleaseIsHandedBack)
{
    Publish(true, false);
    saver.holdReplies = true;
    DBusPowerInhibitor inhibitor(u"Velko Courierline"_s, *client, *client);
    inhibitor.Inhibit(u"Sending e-mail"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !saver.heldCalls.isEmpty(); }, HangGuardMs))
        << "the screen saver had still not been asked after " << HangGuardMs / 1000 << " s";
    inhibitor.Release();
    service->send(saver.heldCalls.takeFirst().createReply(QVariant::fromValue(uint(77))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !saver.uninhibits.isEmpty(); }, HangGuardMs))
        << "the screen saver had still not been given its cookie back after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(saver.uninhibits, QList<uint>{77});
    EXPECT_FALSE(inhibitor.HoldsScreenSaverCookie());
}

TEST_F(PowerInhibitorTest, DestroyedWhileHeldReleasesEverything)
{
    Publish(true, true);
    {
        DBusPowerInhibitor inhibitor(u"Velko Courierline"_s, *client, *client);
        inhibitor.Inhibit(u"Sending e-mail"_s);
        ASSERT_TRUE(QTest::qWaitFor([&] { return inhibitor.HoldsScreenSaverCookie() && inhibitor.HoldsSleepLock(); },
                                    HangGuardMs))
            << "the inhibitor still did not hold both the cookie and the sleep lock after " << HangGuardMs / 1000
            << " s";
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !saver.uninhibits.isEmpty(); }, HangGuardMs))
        << "the screen saver had still not been given its cookie back after " << HangGuardMs / 1000 << " s";
    EXPECT_TRUE(QTest::qWaitFor([&] { return logind.Released(0); }, HangGuardMs))
        << "the sleep lock was still held after " << HangGuardMs / 1000 << " s";
}

TEST_F(PowerInhibitorTest, MissingServicesAreSilentlyIgnored)
{
    DBusPowerInhibitor inhibitor(u"Velko Courierline"_s, *client, *client);
    inhibitor.Inhibit(u"Sending e-mail"_s);
    EXPECT_TRUE(inhibitor.IsInhibited());
    QTest::qWait(200);
    EXPECT_FALSE(inhibitor.HoldsScreenSaverCookie());
    EXPECT_FALSE(inhibitor.HoldsSleepLock());
    inhibitor.Release();
    EXPECT_FALSE(inhibitor.IsInhibited());
}

TEST(PowerInhibitorNoBusTest, WithoutABusNothingHappensButTheStateIsKept)
{
    const QDBusConnection none(u"no-such-connection"_s);
    ASSERT_FALSE(none.isConnected());
    DBusPowerInhibitor inhibitor(u"Velko Courierline"_s, none, none);
    inhibitor.Release();
    EXPECT_FALSE(inhibitor.IsInhibited());
    inhibitor.Inhibit(u"Sending e-mail"_s);
    EXPECT_TRUE(inhibitor.IsInhibited());
    EXPECT_FALSE(inhibitor.HoldsScreenSaverCookie());
    inhibitor.Release();
    EXPECT_FALSE(inhibitor.IsInhibited());
}

TEST(FakePowerInhibitorTest, CountsRefusalsOncePerHold)
{
    FakePowerInhibitor fake;
    fake.Release();
    fake.Inhibit(u"a"_s);
    fake.Inhibit(u"b"_s);
    fake.Release();
    fake.Release();
    EXPECT_EQ(fake.Reasons(), QStringList{u"a"_s});
    EXPECT_EQ(fake.Releases(), 1);
}

#include "PowerInhibitorTest.moc"
