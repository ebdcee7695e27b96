#include "HangGuard.h"
#include "LocalSingleInstance.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString Title = u"Velko Courierline"_s;

/** @short One run of the probe program, with its output collected. */
class Probe {
public:
    Probe(const QString &folder, const QString &title, int waitMs, int holdMs)
    {
        m_process.setProgram(QStringLiteral(SINGLE_INSTANCE_PROBE));
        m_process.setArguments({folder, title, QString::number(waitMs), QString::number(holdMs)});
        m_process.start();
    }
    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    Probe(const Probe &) = delete;
    Probe &operator=(const Probe &) = delete;

    /** Waits until the probe has printed word; a failure that says so after HangGuardMs. */
    testing::AssertionResult Said(const QString &word)
    {
        if (QTest::qWaitFor(
                [&] {
                    m_output += QString::fromUtf8(m_process.readAllStandardOutput());
                    return m_output.split(u'\n').contains(word);
                },
                HangGuardMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the probe had still not said \"" << word.toStdString() << "\" after "
                                           << HangGuardMs / 1000 << " s; it said: " << Output().toStdString();
    }
    /** Waits until the probe has ended; a failure that says so after HangGuardMs. */
    testing::AssertionResult Finished()
    {
        if (m_process.waitForFinished(HangGuardMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "the probe had not ended after " << HangGuardMs / 1000 << " s ("
               << m_process.errorString().toStdString() << "); it said: " << Output().toStdString();
    }
    int ExitCode() const { return m_process.exitCode(); }
    QString Output()
    {
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output;
    }
    void Kill()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
    QString m_output;
};

class SingleInstanceTest : public testing::Test {
protected:
    /** Waits until a start holds the start-up lock. */
    testing::AssertionResult LockTaken() const
    {
        const QString lock = LocalSingleInstance(folder.path(), Title).LockFileName();
        if (QTest::qWaitFor([&] { return QFileInfo::exists(lock); }, HangGuardMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "no start held the start-up lock after " << HangGuardMs / 1000 << " s";
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(SingleInstanceTest, LaterStartHandsOverToARunningInstanceAndEndsWithZero)
{
    Probe running(folder.path(), Title, 10000, 0);
    ASSERT_TRUE(running.Said(u"serving"_s));

    Probe second(folder.path(), Title, 10000, 0);
    ASSERT_TRUE(second.Finished());
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_EQ(second.Output().trimmed(), u"deferred"_s);
    EXPECT_TRUE(running.Said(u"forward"_s));

    Probe third(folder.path(), Title, 10000, 0);
    ASSERT_TRUE(third.Finished());
    EXPECT_EQ(third.Output().trimmed(), u"deferred"_s);
}

TEST_F(SingleInstanceTest, TitleIsTestedCaseSensitivelyAsASubstring)
{
    // A job caption still names the program.
    Probe running(folder.path(), u"Velko Courierline - Job in progress ..."_s, 10000, 0);
    ASSERT_TRUE(running.Said(u"serving"_s));
    Probe second(folder.path(), Title, 10000, 0);
    ASSERT_TRUE(second.Finished());
    EXPECT_EQ(second.Output().trimmed(), u"deferred"_s);
}

TEST_F(SingleInstanceTest, TitleInOtherLetterCaseIsNotRecognised)
{
    Probe running(folder.path(), u"velko courierline"_s, 10000, 0);
    ASSERT_TRUE(running.Said(u"serving"_s));
    Probe second(folder.path(), Title, 10000, 0);
    EXPECT_TRUE(second.Said(u"serving"_s));
}

TEST_F(SingleInstanceTest, WindowWithoutTheProgramsTitleIsNotTakenForARunningInstance)
{
    // An empty title: the caption is set only when the window is first shown.
    Probe running(folder.path(), QString(), 10000, 0);
    ASSERT_TRUE(running.Said(u"serving"_s));
    Probe second(folder.path(), Title, 10000, 0);
    EXPECT_TRUE(second.Said(u"serving"_s));
    EXPECT_FALSE(running.Output().contains(u"forward"_s));
}

TEST_F(SingleInstanceTest, OverlappingStartWaitsForTheFirstWindowThenDefers)
{
    Probe first(folder.path(), Title, 10000, 1500);
    ASSERT_TRUE(LockTaken());
    Probe second(folder.path(), Title, 10000, 0);
    ASSERT_TRUE(second.Finished());
    EXPECT_EQ(second.Output().trimmed(), u"deferred"_s);
    EXPECT_TRUE(first.Said(u"serving"_s));
    EXPECT_TRUE(first.Said(u"forward"_s));
}

TEST_F(SingleInstanceTest, StartEndsSilentlyWhenTheLockIsHeldTooLong)
{
    // Held for longer than a busy machine could delay the second start by; killed once the test is over.
    Probe first(folder.path(), Title, 10000, 30000);
    ASSERT_TRUE(LockTaken());
    Probe second(folder.path(), Title, 300, 0);
    ASSERT_TRUE(second.Finished());
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_EQ(second.Output().trimmed(), u"timeout"_s);
}

TEST_F(SingleInstanceTest, InstanceThatDiedLeavesNothingThatBlocksTheNextStart)
{
    {
        Probe dead(folder.path(), Title, 10000, 0);
        ASSERT_TRUE(dead.Said(u"serving"_s));
        dead.Kill();
    }
    // Killed while holding nothing but its socket; now one killed while it holds the lock.
    {
        Probe dead(folder.path(), Title, 10000, 30000);
        ASSERT_TRUE(LockTaken());
        dead.Kill();
    }
    Probe next(folder.path(), Title, 2000, 0);
    ASSERT_TRUE(next.Said(u"serving"_s));
    // The new instance listens again, so the one after it defers to it.
    Probe after(folder.path(), Title, 2000, 0);
    ASSERT_TRUE(after.Finished());
    EXPECT_EQ(after.Output().trimmed(), u"deferred"_s);
    EXPECT_TRUE(next.Said(u"forward"_s));
}

TEST_F(SingleInstanceTest, LockFileLeftWithoutItsOwnerDoesNotBlockForEver)
{
    // A start killed between making the lock file and writing into it.
    const QString lock = LocalSingleInstance(folder.path(), Title).LockFileName();
    QFile empty(lock);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    ASSERT_TRUE(empty.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    empty.close();
    Probe next(folder.path(), Title, 300, 0);
    EXPECT_TRUE(next.Said(u"serving"_s));
}

// In one process: the same rule through the object itself, without a peer.
TEST_F(SingleInstanceTest, AloneItProceedsAndNamesItsFilesPerUser)
{
    LocalSingleInstance instance(folder.path(), Title);
    EXPECT_EQ(instance.StartupCheck(), SingleInstance::StartupResult::Proceed);
    EXPECT_TRUE(QFileInfo(instance.LockFileName()).fileName().startsWith(u"SI_VLKCRLN-"_s));
    EXPECT_TRUE(QFileInfo(instance.ServerName()).fileName().startsWith(u"SI_VLKCRLN-"_s));
    EXPECT_NE(instance.LockFileName(), instance.ServerName());
    instance.ReleaseStartup();
}

TEST_F(SingleInstanceTest, UnusableFolderDoesNotKeepTheProgramFromStarting)
{
    LocalSingleInstance instance(folder.filePath(u"missing/deeper"_s), Title, 300);
    EXPECT_EQ(instance.StartupCheck(), SingleInstance::StartupResult::Proceed);
}
