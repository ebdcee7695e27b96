// The job machine with the real worker threads against the test SMTP server;
// the mailing list and the window are the fakes.
#include "TJobWorkers.h"

#include "FakePowerInhibitor.h"
#include "HangGuard.h"
#include "JobFakes.h"
#include "MessageBoxRecorder.h"
#include "TESettings.h"
#include "TJobInfo.h"
#include "TJobMachine.h"
#include "TSmtpWorker.h"
#include "TempDataFolder.h"
#include "TestSmtpServer.h"

#include <QTest>

#include <stdexcept>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TJobWorkersTest : public testing::Test {
protected:
    explicit TJobWorkersTest(const TestSmtpServerOptions &options = {})
        : smtp(options)
    {
        settings.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
        settings.Param(spSmtpPort).SetInt(smtp.PlainPort());
        settings.Param(spSmtpTimeout).SetInt(10);
        settings.Param(spYourEmail).SetStr(u"sender@example.com"_s);
        settings.Param(spYourName).SetStr(u"Sender"_s);
        settings.Param(spSubject).SetStr(u"Offer"_s);
        settings.Param(spDelay).SetInt(0);
        settings.Param(spRecPause).SetInt(1);
    }

    /** Runs a job with ticks every 10 ms: the workers are real, the pace is the machine's. */
    testing::AssertionResult RunJob(JobMode mode)
    {
        machine.SetJobMode(mode);
        if (QTest::qWaitFor(
                [&] {
                    if (timer.IsEnabled())
                        machine.Tick();
                    return machine.Mode() == JobMode::Idle;
                },
                HangGuardMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the job had still not ended after " << HangGuardMs / 1000
                                           << " s; it is at step " << int(machine.JobStep());
    }
    QStringList Recipients() const
    {
        QStringList to;
        for (const RecordedMessage &m : smtp.Messages())
            to.append(m.RcptTos);
        return to;
    }

    TempDataFolder data;
    MessageBoxRecorder recorder;
    TestSmtpServer smtp;
    TESettings settings;
    TJobInfo jobInfo;
    FakeJobList list{{0, 0, 0}};
    FakeJobView view{list};
    TJobWorkers workers;
    FakeJobTimer timer;
    FakePowerInhibitor inhibitor;
    TJobMachine machine{settings, jobInfo, list, view, workers, timer, inhibitor};
};

class RefusingServerTest : public TJobWorkersTest {
protected:
    static TestSmtpServerOptions Options()
    {
        TestSmtpServerOptions o;
        o.RefuseRecipients = {FakeJobList::Address(1)};
        return o;
    }
    RefusingServerTest()
        : TJobWorkersTest(Options())
    {
    }
};

class AuthRefusingServerTest : public TJobWorkersTest {
protected:
    static TestSmtpServerOptions Options()
    {
        TestSmtpServerOptions o;
        o.RefuseAuth = true;
        return o;
    }
    AuthRefusingServerTest()
        : TJobWorkersTest(Options())
    {
    }
};

} // namespace

TEST_F(TJobWorkersTest, ThreeRecipientsOnOneConnection)
{
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    ASSERT_TRUE(smtp.WaitForSessions(1));
    EXPECT_EQ(Recipients(), (QStringList{list.Address(0), list.Address(1), list.Address(2)}));
    ASSERT_EQ(smtp.Sessions().size(), 1);
    EXPECT_EQ(smtp.Sessions()[0].Messages, 3);
    EXPECT_EQ(smtp.Messages()[2].Header(u"Subject"_s), u"Offer for row 2"_s);
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1}));
    EXPECT_EQ(view.summaries, 1);
    EXPECT_TRUE(view.boxes.isEmpty());
}

TEST_F(RefusingServerTest, RefusedRecipientFailsAloneAndTheNextGoesOutOnTheSameConnection)
{
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    ASSERT_TRUE(smtp.WaitForSessions(1));
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 2, 1}));
    EXPECT_TRUE(list.rows[1].text.contains(u"550"_s)) << list.rows[1].text.toStdString();
    EXPECT_EQ(Recipients(), (QStringList{list.Address(0), list.Address(2)}));
    EXPECT_EQ(smtp.Sessions().size(), 1);
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Failed), 1);
}

TEST_F(TJobWorkersTest, ReconnectEveryTwoEmailsGivesSessionsOfTwoTwoAndOne)
{
    list.rows.assign(5, {RecipientStatus::NotSent, QString()});
    settings.Param(spReconnect).SetInt(2);
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    ASSERT_TRUE(smtp.WaitForSessions(3));
    QList<int> sizes;
    for (const RecordedSession &s : smtp.Sessions())
        sizes.append(s.Messages);
    EXPECT_EQ(sizes, (QList<int>{2, 2, 1}));
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1, 1, 1}));
}

TEST_F(TJobWorkersTest, NothingListeningEndsWithTheConnectionError)
{
    settings.Param(spSmtpPort).SetInt(TestSmtpServer::UnusedPort());
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    ASSERT_EQ(view.boxes.size(), 1);
    EXPECT_EQ(view.boxes[0].kind, u"trouble"_s);
    EXPECT_TRUE(view.boxes[0].text.startsWith(u"Connection Error."_s)) << view.boxes[0].text.toStdString();
    EXPECT_EQ(list.Statuses(), (QList<int>{0, 0, 0}));
    EXPECT_EQ(list.saves, 1);
}

TEST_F(AuthRefusingServerTest, RefusedAuthenticationEndsWithTheAuthenticationError)
{
    settings.Param(spSmtpAuth).SetBool(true);
    settings.Param(spSmtpUser).SetStr(u"user"_s);
    settings.Param(spPassword).SetStr(u"secret"_s);
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    ASSERT_EQ(view.boxes.size(), 1);
    EXPECT_TRUE(view.boxes[0].text.startsWith(u"Authentication Error."_s));

    view.boxes.clear();
    ASSERT_TRUE(RunJob(JobMode::TestConnection));
    ASSERT_EQ(view.boxes.size(), 1);
    EXPECT_EQ(view.boxes[0].kind, u"trouble"_s);
    EXPECT_TRUE(view.boxes[0].text.startsWith(u"Authentication failed."_s));
}

TEST_F(TJobWorkersTest, ConnectionTestSucceeds)
{
    ASSERT_TRUE(RunJob(JobMode::TestConnection));
    ASSERT_EQ(view.boxes.size(), 1);
    EXPECT_EQ(view.boxes[0].kind, u"info"_s);
    EXPECT_EQ(view.boxes[0].text, u"Connection successfully verified!"_s);
    EXPECT_TRUE(smtp.Messages().isEmpty());
}

TEST_F(TJobWorkersTest, WorkerSendsItsOwnCopyOfTheMessage)
{
    TSmtpWorker worker(settings);
    worker.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.State() == SmtpThreadState::Idle; }, HangGuardMs))
        << "the worker was still not connected and idle after " << HangGuardMs / 1000
        << " s; its state: " << testing::PrintToString(worker.State());
    TEmailMessage message;
    message.To = {u"first@example.com"_s, QString()};
    message.Subject = u"First"_s;
    message.Body = u"Hello\r\n"_s;
    worker.Hand(message);
    // The caller's object may change at once: the worker took a copy.
    message.To.Address = u"second@example.com"_s;
    message.Subject = u"Second"_s;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !worker.IsBusy(); }, HangGuardMs))
        << "the worker was still busy with the e-mail after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(worker.State(), SmtpThreadState::Sent);
    worker.RequestDisconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.Terminated(); }, HangGuardMs))
        << "the worker had still not ended after " << HangGuardMs / 1000 << " s";
    ASSERT_TRUE(smtp.WaitForMessages(1));
    EXPECT_EQ(smtp.Messages()[0].RcptTos, QStringList{u"first@example.com"_s});
    EXPECT_EQ(smtp.Messages()[0].Header(u"Subject"_s), u"First"_s);
}

// A hand-over while the worker still holds the last e-mail would free that
// e-mail under the thread: it is refused, by the assertion in a debug build.
TEST_F(TJobWorkersTest, HandOverWhileBusyIsRefused)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    settings.Param(spSmtpPort).SetInt(TestSmtpServer::UnusedPort());
    TSmtpWorker worker(settings);
    worker.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.Terminated(); }, HangGuardMs))
        << "the worker had still not ended after " << HangGuardMs / 1000 << " s";
    TEmailMessage message;
    message.To = {u"first@example.com"_s, QString()};
    worker.Hand(message); // never taken: the run has ended
    ASSERT_TRUE(worker.IsBusy());
#ifdef NDEBUG
    EXPECT_THROW(worker.Hand(message), std::logic_error);
#else
    EXPECT_DEATH(worker.Hand(message), "busy");
#endif
}
