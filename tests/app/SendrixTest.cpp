// The program itself, started twice as two real processes on the offscreen
// platform, each with the same temporary data and runtime folders.
#include "HangGuard.h"
#include "LocalSingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class SendrixTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(root.filePath(u"home"_s)));
        ASSERT_TRUE(QDir().mkpath(RuntimeDir()));
        QFile::setPermissions(RuntimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    void TearDown() override
    {
        for (QProcess *p : {&first, &second}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    QString RuntimeDir() const { return root.filePath(u"run"_s); }
    QString DataDir() const { return root.filePath(u"data/velko-courierline"_s); }

    void Launch(QProcess &process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"XDG_DATA_HOME"_s, root.filePath(u"data"_s));
        env.insert(u"HOME"_s, root.filePath(u"home"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, RuntimeDir());
        env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(VELKO_COURIERLINE_PROGRAM));
        process.start();
    }

    /**
     * The title the running instance answers a later start with, waiting at
     * most waitMs for the connection and for each piece of the answer; when
     * none comes, words that say so.
     */
    QString RunningTitle(int waitMs) const
    {
        QLocalSocket socket;
        socket.connectToServer(LocalSingleInstance(RuntimeDir(), u"Velko Courierline"_s).ServerName());
        if (!socket.waitForConnected(waitMs))
            return u"<no running instance took the connection: %1>"_s.arg(socket.errorString());
        while (!socket.canReadLine() && socket.waitForReadyRead(waitMs)) {
        }
        if (!socket.canReadLine())
            return u"<no answer from the running instance within %1 s>"_s.arg(waitMs / 1000.0);
        return QString::fromUtf8(socket.readLine()).trimmed();
    }

    QTemporaryDir root;
    QProcess first;
    QProcess second;
};

} // namespace

TEST_F(SendrixTest, SecondStartDefersToTheRunningWindowAndEndsWithZero)
{
    Launch(first);
    // Asked again and again, each time briefly, until the first start is up.
    ASSERT_TRUE(QTest::qWaitFor([&] { return RunningTitle(500) == u"Velko Courierline"_s; }, HangGuardMs))
        << "the first start was still not answering with its title after " << HangGuardMs / 1000
        << " s; it wrote: " << first.readAllStandardError().toStdString();
    // The first start prepared the data folder as an installer would.
    const QFileInfo config(QDir(DataDir()).filePath(u"bry_cnfg.ini"_s));
    EXPECT_TRUE(config.exists());
    EXPECT_EQ(config.size(), 0);
    EXPECT_TRUE(QFileInfo::exists(QDir(DataDir()).filePath(u"bry_help.htm"_s)));

    Launch(second);
    ASSERT_TRUE(second.waitForFinished(HangGuardMs))
        << "the second start had not ended after " << HangGuardMs / 1000 << " s (" << second.errorString().toStdString()
        << "); it wrote: " << second.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // The running one goes on.
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(RunningTitle(HangGuardMs), u"Velko Courierline"_s);
}
