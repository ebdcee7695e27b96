#include "TJobMachine.h"

#include "FakePowerInhibitor.h"
#include "JobFakes.h"
#include "MessageBoxRecorder.h"
#include "TESettings.h"
#include "TJobInfo.h"
#include "TempDataFolder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TJobMachineTest : public testing::Test {
protected:
    TJobMachineTest()
    {
        settings.Param(spYourEmail).SetStr(u"me@example.org"_s); // the send commands need a sender
        settings.Param(spDelay).SetInt(0);
        settings.Param(spReconnect).SetInt(25);
        settings.Param(spRecPause).SetInt(1);
        machine.SetClock([this] { return now; });
    }

    /** One tick of 100 ms: the worker does one step, then the machine. */
    void Tick()
    {
        server.Advance();
        now = now.addMSecs(100);
        ++ticks;
        if (timer.IsEnabled())
            machine.Tick();
    }
    /** Ticks until the job has ended; false when it has not within max ticks. */
    bool RunJob(JobMode mode, int max = 2000)
    {
        machine.SetJobMode(mode);
        for (int i = 0; i < max && machine.Mode() != JobMode::Idle; ++i)
            Tick();
        return machine.Mode() == JobMode::Idle;
    }
    /** Ticks until pred holds. */
    bool TickUntil(const std::function<bool()> &pred, int max = 2000)
    {
        for (int i = 0; i < max && !pred(); ++i)
            Tick();
        return pred();
    }
    QStringList To(int session) const
    {
        QStringList to;
        for (const TEmailMessage &m : server.sessions.at(session))
            to.append(m.To.Address);
        return to;
    }
    void SetRows(std::vector<int> statuses)
    {
        list.rows.clear();
        for (int s : statuses)
            list.rows.push_back({RecipientStatus(s), QString()});
    }
    bool Boxed(const QString &kind, const QString &text) const
    {
        for (const auto &box : view.boxes)
            if (box.kind == kind && box.text == text)
                return true;
        return false;
    }

    TempDataFolder data;
    MessageBoxRecorder recorder;
    TESettings settings;
    TJobInfo jobInfo;
    FakeJobList list{{0, 0, 0}};
    FakeJobView view{list};
    FakeSmtpServer server;
    FakeJobTimer timer;
    FakePowerInhibitor inhibitor;
    TJobMachine machine{settings, jobInfo, list, view, server, timer, inhibitor};
    QDateTime now = QDateTime(QDate(2024, 3, 1), QTime(9, 0));
    int ticks = 0;
};

} // namespace

TEST_F(TJobMachineTest, ThreeRecipientsGoOutOnOneConnectionAndEndWithTheSummary)
{
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(server.workersCreated, 1);
    ASSERT_EQ(server.SessionSizes(), QList<int>{3});
    EXPECT_EQ(To(0), (QStringList{list.Address(0), list.Address(1), list.Address(2)}));
    EXPECT_EQ(server.sessions[0][1].Subject, u"Offer for row 1"_s);
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1}));
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Sent), 3);
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Failed), 0);
    EXPECT_EQ(view.results, 3);
    EXPECT_EQ(view.summaries, 1);
    EXPECT_TRUE(view.boxes.isEmpty());
    EXPECT_EQ(list.exports, 0);
    EXPECT_GE(list.saves, 1);
    EXPECT_FALSE(view.inJobMode);
    EXPECT_FALSE(timer.IsEnabled());
    EXPECT_FALSE(machine.HasWorker());
    EXPECT_FALSE(view.statuses.contains(u"Disconnecting for pause ..."_s));
    EXPECT_EQ(view.statuses.first(), u"Contacting SMTP Server ..."_s);
    EXPECT_EQ(view.statuses.last(), u"Disconnecting ..."_s);
    // Delay 0: no waiting status at all.
    EXPECT_FALSE(view.statuses.join(u'|').contains(u"Waiting"_s));
}

TEST_F(TJobMachineTest, SummaryExportLogExportsBeforeTheListIsSaved)
{
    view.exportOnSummary = true;
    int exportsAtSave = -1;
    list.onSave = [&] { exportsAtSave = list.exports; };
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(list.exports, 1);
    EXPECT_EQ(exportsAtSave, 1);
}

TEST_F(TJobMachineTest, DelayPacesTheNextHandOver)
{
    // A delay of d seconds lasts d x 10 ticks, at least one; the hand-over follows a tick later.
    for (const int delay : {0, 2}) {
        settings.Param(spDelay).SetInt(delay);
        SetRows({0, 0});
        view.results = 0;
        view.statuses.clear();
        machine.SetJobMode(JobMode::SendAll);
        ASSERT_TRUE(TickUntil([&] { return view.results == 1; }));
        const int resultTick = ticks;
        ASSERT_TRUE(TickUntil([&] { return machine.JobStep() == TJobMachine::Step::AwaitResult; }));
        EXPECT_EQ(ticks - resultTick, std::max(1, delay * 10) + 1) << "delay " << delay;
        EXPECT_EQ(view.statuses.contains(u"Waiting 2 second(s) ..."_s), delay == 2);
        ASSERT_TRUE(TickUntil([&] { return machine.Mode() == JobMode::Idle; }));
    }
}

TEST_F(TJobMachineTest, FailedSendFailsOnlyThatRecipientAndTheNextGoesOutOnTheSameConnection)
{
    server.sendResult = [](const TEmailMessage &m) {
        return m.To.Address == FakeJobList::Address(1) ? SmtpThreadState::SendFailed : SmtpThreadState::Sent;
    };
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(server.SessionSizes(), QList<int>{3});
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 2, 1}));
    EXPECT_EQ(list.rows[1].text, u"Error: 550 mailbox unavailable"_s);
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Sent), 2);
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Failed), 1);
    EXPECT_EQ(view.summaries, 1);
}

TEST_F(TJobMachineTest, ReconnectCountSplitsTheJobIntoSessionsWithPauses)
{
    SetRows({0, 0, 0, 0, 0});
    settings.Param(spReconnect).SetInt(2);
    settings.Param(spRecPause).SetInt(1);
    QList<QList<int>> savedAt;
    list.onSave = [&] { savedAt.append(list.Statuses()); };
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(server.SessionSizes(), (QList<int>{2, 2, 1}));
    EXPECT_EQ(server.workersCreated, 3);
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(view.statuses.count(u"Disconnecting for pause ..."_s), 2);
    EXPECT_EQ(view.statuses.count(u"1 second pause ..."_s), 2);
    EXPECT_EQ(view.statuses.count(u"Reconnecting ..."_s), 2);
    // The list is saved when each pause begins, with the results of the session before it.
    EXPECT_TRUE(savedAt.contains(QList<int>({1, 1, 0, 0, 0})));
    EXPECT_TRUE(savedAt.contains(QList<int>({1, 1, 1, 1, 0})));
    EXPECT_EQ(view.summaries, 1);
}

TEST_F(TJobMachineTest, PauseLastsRecPauseTicksAndZeroReconnectsAtOnce)
{
    for (const int pause : {0, 1}) {
        SetRows({0, 0});
        settings.Param(spReconnect).SetInt(1);
        settings.Param(spRecPause).SetInt(pause);
        server.sessions.clear();
        machine.SetJobMode(JobMode::SendAll);
        ASSERT_TRUE(TickUntil([&] { return machine.JobStep() == TJobMachine::Step::CountDownPause; }));
        const int pauseTick = ticks;
        ASSERT_TRUE(TickUntil([&] { return machine.JobStep() == TJobMachine::Step::AwaitReconnection; }));
        EXPECT_EQ(ticks - pauseTick, std::max(1, pause * 10)) << "pause " << pause;
        ASSERT_TRUE(TickUntil([&] { return machine.Mode() == JobMode::Idle; }));
        EXPECT_EQ(server.SessionSizes(), (QList<int>{1, 1}));
    }
}

TEST_F(TJobMachineTest, LastRecipientDisconnectsWithoutPauseEvenAtTheReconnectCount)
{
    settings.Param(spReconnect).SetInt(3);
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(server.SessionSizes(), QList<int>{3});
    EXPECT_FALSE(view.statuses.contains(u"Disconnecting for pause ..."_s));
}

TEST_F(TJobMachineTest, BccGroupsCountRecipientsInTheJobAndEmailsOnTheConnection)
{
    SetRows({0, 0, 0, 0, 0});
    settings.Param(spMethodBcc).SetBool(true);
    list.groupSize = 2;
    settings.Param(spReconnect).SetInt(2);
    server.sendResult = [](const TEmailMessage &m) {
        return m.Bcc.size() == 2 && m.Bcc[0].Address == FakeJobList::Address(2) ? SmtpThreadState::SendFailed
                                                                                : SmtpThreadState::Sent;
    };
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    // Two e-mails on the first connection (the reconnect count counts e-mails), one after the pause.
    ASSERT_EQ(server.SessionSizes(), (QList<int>{2, 1}));
    EXPECT_EQ(server.sessions[0][0].Bcc.size(), 2);
    EXPECT_EQ(server.sessions[0][1].Bcc.size(), 2);
    EXPECT_EQ(server.sessions[1][0].Bcc.size(), 1);
    EXPECT_EQ(server.sessions[1][0].Bcc[0].Address, list.Address(4));
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Sent), 3);
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Failed), 2);
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 2, 2, 1}));
}

TEST_F(TJobMachineTest, IndividualJobAfterABccJobCarriesNoGroup)
{
    settings.Param(spMethodBcc).SetBool(true);
    list.groupSize = 3;
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    ASSERT_EQ(server.sessions.last().last().Bcc.size(), 3);

    settings.Param(spMethodBcc).SetBool(false);
    list.groupSize = 0;
    SetRows({0});
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_TRUE(server.sessions.last().last().Bcc.isEmpty());
    EXPECT_EQ(jobInfo.Count(RecipientStatus::Sent), 1);
}

TEST_F(TJobMachineTest, BatchLimitCountsRecipientsAndEndsTheJobAfterTheEmailThatReachesIt)
{
    SetRows(std::vector<int>(10, 0));
    settings.Param(spBatchMode).SetBool(true);
    settings.Param(spBatchQty).SetInt(5);
    settings.Param(spMethodBcc).SetBool(true);
    list.groupSize = 2;
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_TRUE(jobInfo.BatchMode);
    EXPECT_EQ(server.SessionSizes(), QList<int>{3});
    EXPECT_EQ(jobInfo.ProcessedCount(), 6);
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1, 1, 1, 1, 0, 0, 0, 0}));

    // The next batch goes on with those not yet sent.
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(jobInfo.ProcessedCount(), 4);
}

TEST_F(TJobMachineTest, SendSelectedOneRecipientTellsTheResultInABox)
{
    list.selected = {1};
    ASSERT_TRUE(RunJob(JobMode::SendSelected));
    EXPECT_EQ(To(0), QStringList{list.Address(1)});
    EXPECT_TRUE(Boxed(u"info"_s, u"Message sent."_s));
    EXPECT_EQ(view.summaries, 0);

    server.sendResult = [](const TEmailMessage &) { return SmtpThreadState::SendFailed; };
    view.boxes.clear();
    ASSERT_TRUE(RunJob(JobMode::SendSelected));
    EXPECT_TRUE(Boxed(u"trouble"_s, u"Failure:\r\n\r\n550 mailbox unavailable"_s));
    EXPECT_EQ(list.rows[1].status, RecipientStatus::Failed);
    EXPECT_EQ(view.summaries, 0);
}

TEST_F(TJobMachineTest, SendSelectedSeveralRecipientsEndsWithTheSummaryWhateverTheirStatus)
{
    SetRows({1, 0, 2, 0});
    list.selected = {0, 2, 3};
    ASSERT_TRUE(RunJob(JobMode::SendSelected));
    EXPECT_EQ(To(0), (QStringList{list.Address(0), list.Address(2), list.Address(3)}));
    EXPECT_EQ(view.summaries, 1);
    EXPECT_TRUE(view.boxes.isEmpty());
}

TEST_F(TJobMachineTest, ModesChooseTheirRecipients)
{
    SetRows({1, 0, 2, 0});
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(To(0), (QStringList{list.Address(1), list.Address(3)}));
    SetRows({1, 0, 2, 0});
    ASSERT_TRUE(RunJob(JobMode::ResendFailed));
    EXPECT_EQ(To(1), QStringList{list.Address(2)});
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 0, 1, 0}));
}

TEST_F(TJobMachineTest, NobodyToSendToEndsTheJobWithoutConnecting)
{
    SetRows({1, 1});
    ASSERT_TRUE(RunJob(JobMode::ResendFailed));
    EXPECT_EQ(server.workersCreated, 0);
    EXPECT_TRUE(view.boxes.isEmpty());
    EXPECT_EQ(view.summaries, 0);
    EXPECT_EQ(list.saves, 0);
    EXPECT_FALSE(inhibitor.IsInhibited());
}

TEST_F(TJobMachineTest, StopWhileSendingRecordsThatResultThenDisconnectsWithoutSummary)
{
    machine.SetJobMode(JobMode::SendAll);
    ASSERT_TRUE(TickUntil([&] { return server.live && server.live->IsBusy(); }));
    machine.RequestStop();
    EXPECT_EQ(view.statuses.last(), u"Stopping the e-mail job ..."_s);
    ASSERT_TRUE(TickUntil([&] { return machine.Mode() == JobMode::Idle; }));
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(server.SessionSizes(), QList<int>{1});
    EXPECT_EQ(view.summaries, 0);
    EXPECT_TRUE(view.boxes.isEmpty());
    EXPECT_GE(list.saves, 1);
}

TEST_F(TJobMachineTest, StopDuringTheDelayDisconnectsAtTheNextTick)
{
    settings.Param(spDelay).SetInt(5);
    machine.SetJobMode(JobMode::SendAll);
    ASSERT_TRUE(TickUntil([&] { return machine.JobStep() == TJobMachine::Step::CountDownDelay; }));
    Tick();
    machine.RequestStop();
    Tick();
    EXPECT_EQ(machine.JobStep(), TJobMachine::Step::AwaitFinalDisconnect);
    ASSERT_TRUE(TickUntil([&] { return machine.Mode() == JobMode::Idle; }));
    EXPECT_EQ(server.SessionSizes(), QList<int>{1});
    EXPECT_EQ(view.summaries, 0);
}

TEST_F(TJobMachineTest, StopBeforeTheFirstEmailDisconnectsWithoutSending)
{
    machine.SetJobMode(JobMode::SendAll);
    Tick();
    machine.RequestStop();
    ASSERT_TRUE(TickUntil([&] { return machine.Mode() == JobMode::Idle; }));
    EXPECT_EQ(server.SessionSizes(), QList<int>{0});
    EXPECT_EQ(list.Statuses(), (QList<int>{0, 0, 0}));
    EXPECT_TRUE(view.boxes.isEmpty());
}

TEST_F(TJobMachineTest, StopDuringThePauseEndsAtTheNextTickWithoutWorkerOrFurtherSave)
{
    settings.Param(spReconnect).SetInt(1);
    settings.Param(spRecPause).SetInt(60);
    machine.SetJobMode(JobMode::SendAll);
    ASSERT_TRUE(TickUntil([&] { return machine.JobStep() == TJobMachine::Step::CountDownPause; }));
    const int saves = list.saves;
    Tick();
    machine.RequestStop();
    Tick();
    EXPECT_EQ(machine.Mode(), JobMode::Idle);
    EXPECT_EQ(list.saves, saves);
    EXPECT_EQ(server.workersCreated, 1);
    EXPECT_EQ(view.summaries, 0);
    EXPECT_TRUE(view.boxes.isEmpty());
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 0, 0}));
}

TEST_F(TJobMachineTest, ConnectionErrorEndsTheJobWithTheWorkersText)
{
    server.connectStates = {SmtpThreadState::ConnectionError};
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_TRUE(Boxed(u"trouble"_s, u"Connection Error.\r\n\r\nError Message: refused"_s));
    EXPECT_EQ(view.summaries, 0);
    EXPECT_EQ(list.Statuses(), (QList<int>{0, 0, 0}));
    EXPECT_EQ(list.saves, 1);
}

TEST_F(TJobMachineTest, AuthenticationRefusedAtAReconnectionKeepsTheEarlierResults)
{
    settings.Param(spReconnect).SetInt(2);
    settings.Param(spRecPause).SetInt(0);
    server.connectStates = {SmtpThreadState::Idle, SmtpThreadState::AuthenticationError};
    QList<int> lastSaved;
    list.onSave = [&] { lastSaved = list.Statuses(); };
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_TRUE(Boxed(u"trouble"_s, u"Authentication Error.\r\n\r\nError Message: 535 no"_s));
    EXPECT_EQ(view.summaries, 0);
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 0}));
    EXPECT_EQ(lastSaved, (QList<int>{1, 1, 0}));
}

TEST_F(TJobMachineTest, WorkerThatDiesWithAnEmailPendingEndsTheJobLikeAnyFatalState)
{
    int sent = 0;
    server.sendResult = [&](const TEmailMessage &) {
        return ++sent == 2 ? SmtpThreadState::UnexpectedError : SmtpThreadState::Sent;
    };
    QList<int> lastSaved;
    list.onSave = [&] { lastSaved = list.Statuses(); };
    ASSERT_TRUE(RunJob(JobMode::SendAll, 200));
    EXPECT_TRUE(Boxed(u"trouble"_s, u"Unexpected Error.\r\n\r\nError Message: no memory"_s));
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(lastSaved, (QList<int>{1, 0, 0}));
    EXPECT_EQ(view.summaries, 0);
}

TEST_F(TJobMachineTest, WorkerStillRunningAfterAFatalStateIsStoppedBeforeItIsFreed)
{
    server.fatalKeepsRunning = true;
    server.sendResult = [](const TEmailMessage &) { return SmtpThreadState::UnexpectedError; };
    ASSERT_TRUE(RunJob(JobMode::SendAll, 200));
    EXPECT_EQ(server.stops, 1);
    EXPECT_EQ(view.boxes.size(), 1);
}

TEST_F(TJobMachineTest, FatalStateIsShownEvenWhenAStopWasRequested)
{
    server.connectStates = {SmtpThreadState::ConnectionError};
    machine.SetJobMode(JobMode::SendAll);
    machine.RequestStop();
    ASSERT_TRUE(TickUntil([&] { return machine.Mode() == JobMode::Idle; }));
    EXPECT_EQ(view.boxes.size(), 1);
}

TEST_F(TJobMachineTest, ConnectionTestReportsItsTwoOutcomes)
{
    ASSERT_TRUE(RunJob(JobMode::TestConnection));
    EXPECT_EQ(server.connectionTests, 1);
    EXPECT_EQ(server.workersCreated, 0);
    EXPECT_TRUE(Boxed(u"info"_s, u"Connection successfully verified!"_s));

    server.testSucceeds = false;
    view.boxes.clear();
    ASSERT_TRUE(RunJob(JobMode::TestConnection));
    EXPECT_TRUE(Boxed(u"trouble"_s, u"Connection could not be established."_s));
    // A test sends nothing and saves nothing.
    EXPECT_EQ(list.saves, 0);
    EXPECT_EQ(list.Statuses(), (QList<int>{0, 0, 0}));
}

TEST_F(TJobMachineTest, MissingAttachmentKeepsASendingJobFromStartingButNotTheConnectionTest)
{
    settings.AttachmentPaths = {data.Path(u"missing.pdf"_s)};
    machine.SetJobMode(JobMode::SendAll);
    EXPECT_EQ(machine.Mode(), JobMode::Idle);
    ASSERT_EQ(recorder.Boxes().size(), 1);
    EXPECT_TRUE(recorder.Boxes()[0].text.contains(u"missing.pdf"_s));
    EXPECT_FALSE(timer.IsEnabled());
    EXPECT_FALSE(view.inJobMode);
    EXPECT_FALSE(inhibitor.IsInhibited());

    machine.SetJobMode(JobMode::TestConnection);
    EXPECT_EQ(machine.Mode(), JobMode::TestConnection);
}

// A bad sender, BCC copy, Reply-To or visible BCC-method address would fail
// every row: the job does not start, and the rows stay as they were.
TEST_F(TJobMachineTest, InvalidAddressInTheSettingsKeepsTheJobFromStarting)
{
    const std::pair<int, int> settingsInUse[] = {
        {spYourEmail, -1}, {spBccTo, spBccEmails}, {spReplyTo, spReplyEna}, {spMethodEmail, spMethodBcc}};
    for (const auto &[address, switchOn] : settingsInUse) {
        const QString good = settings.Param(address).GetStr();
        settings.Param(address).SetStr(u"Bcc: evil@x.org"_s);
        if (switchOn >= 0)
            settings.Param(switchOn).SetBool(true);
        recorder.Clear();
        machine.SetJobMode(JobMode::SendAll);
        EXPECT_EQ(machine.Mode(), JobMode::Idle);
        ASSERT_EQ(recorder.Boxes().size(), 1);
        EXPECT_TRUE(recorder.Boxes()[0].text.contains(u"Invalid e-mail address: Bcc: evil@x.org"_s))
            << recorder.Boxes()[0].text.toStdString();
        EXPECT_FALSE(view.inJobMode);
        settings.Param(address).SetStr(good);
    }
    EXPECT_TRUE(server.sessions.isEmpty());
    EXPECT_EQ(list.Statuses(), (QList<int>{0, 0, 0}));

    // Switched off, or left empty where it is optional, an address is not used.
    settings.Param(spBccTo).SetStr(u"not an address"_s);
    settings.Param(spBccEmails).SetBool(false);
    settings.Param(spReplyTo).SetStr(QString());
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1}));
}

TEST_F(TJobMachineTest, TicksArrivingDuringTheReportDoNotReenterTheMachine)
{
    int reentries = 0;
    view.duringReport = [&] {
        // The box's event loop delivers timer ticks; a job command cannot start a second job.
        const int saves = list.saves;
        machine.Tick();
        machine.Tick();
        machine.SetJobMode(JobMode::SendAll);
        if (list.saves != saves || view.summaries > 1 || server.workersCreated > 1)
            ++reentries;
        EXPECT_NE(machine.Mode(), JobMode::Idle);
        EXPECT_TRUE(inhibitor.IsInhibited());
    };
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(view.summaries, 1);
    EXPECT_EQ(reentries, 0);
    EXPECT_EQ(server.workersCreated, 1);
    EXPECT_FALSE(inhibitor.IsInhibited());
}

TEST_F(TJobMachineTest, EachResultIsSafeBeforeTheNextHandOverAndTheWholeListIsWrittenOnlyAtPausesAndTheEnd)
{
    SetRows(std::vector<int>(12, 0));
    settings.Param(spReconnect).SetInt(5);
    QList<int> safeAtHandOver;
    server.sendResult = [&](const TEmailMessage &) {
        safeAtHandOver.append(list.journaled);
        return SmtpThreadState::Sent;
    };
    QList<int> sentAtSave;
    list.onSave = [&] { sentAtSave.append(int(list.Statuses().count(1))); };
    ASSERT_TRUE(RunJob(JobMode::SendAll));
    EXPECT_EQ(safeAtHandOver, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(list.journaled, 12);
    EXPECT_EQ(sentAtSave, (QList<int>{5, 10, 12}));
}

TEST_F(TJobMachineTest, JournalAndSaveFailuresDuringTheJobAreToldOnceAndTheJobGoesOn)
{
    SetRows(std::vector<int>(12, 0));
    list.failJournal = true;
    list.failSaves = true;
    machine.SetJobMode(JobMode::SendAll);
    bool thrown = false;
    for (int i = 0; i < 2000 && machine.Mode() != JobMode::Idle; ++i) {
        try {
            Tick();
        } catch (const AppError &) {
            thrown = true;
        }
    }
    EXPECT_EQ(list.Statuses().count(1), 12);
    EXPECT_EQ(view.results, 12);
    EXPECT_EQ(view.boxes.size(), 1);
    EXPECT_EQ(view.boxes[0].kind, u"error"_s);
    EXPECT_EQ(view.boxes[0].text, u"Unable to write to bry_jlst.jnl"_s);
    // The save at the end fails too: it escapes to the caller's error box, and the job is over.
    EXPECT_TRUE(thrown);
    EXPECT_EQ(machine.Mode(), JobMode::Idle);
    EXPECT_FALSE(inhibitor.IsInhibited());
    EXPECT_FALSE(machine.HasWorker());
}

TEST_F(TJobMachineTest, SaveFailureAtAPauseIsToldOnceAndDoesNotLeaveTheTick)
{
    settings.Param(spReconnect).SetInt(1);
    settings.Param(spRecPause).SetInt(0);
    list.failSaves = true;
    machine.SetJobMode(JobMode::SendAll);
    int thrown = 0;
    for (int i = 0; i < 2000 && machine.Mode() != JobMode::Idle; ++i) {
        try {
            Tick();
        } catch (const AppError &) {
            ++thrown;
        }
    }
    EXPECT_EQ(server.SessionSizes(), (QList<int>{1, 1, 1}));
    EXPECT_EQ(list.Statuses(), (QList<int>{1, 1, 1}));
    EXPECT_EQ(view.boxes.size(), 1);
    // Only the save at the end of the job reaches the caller.
    EXPECT_EQ(thrown, 1);
    EXPECT_EQ(view.summaries, 1);
}

TEST_F(TJobMachineTest, RefusalOfScreenSaverAndSuspendLastsUntilTheModeIsIdle)
{
    machine.SetJobMode(JobMode::SendAll);
    EXPECT_TRUE(inhibitor.IsInhibited());
    bool heldDuringSummary = false;
    view.duringReport = [&] { heldDuringSummary = inhibitor.IsInhibited() && machine.Mode() == JobMode::SendAll; };
    ASSERT_TRUE(TickUntil([&] { return machine.Mode() == JobMode::Idle; }));
    EXPECT_TRUE(heldDuringSummary);
    EXPECT_FALSE(inhibitor.IsInhibited());
    EXPECT_EQ(inhibitor.Releases(), 1);
}

TEST_F(TJobMachineTest, ElapsedTimeIsWrittenOnlyWhenItChangesAndWrapsAtADay)
{
    settings.Param(spDelay).SetInt(1);
    machine.SetJobMode(JobMode::SendAll);
    view.elapsed.clear();
    for (int i = 0; i < 25; ++i)
        Tick();
    // 25 ticks of 100 ms: each second's text once.
    EXPECT_EQ(view.elapsed, (QStringList{u" 00:00:00"_s, u" 00:00:01"_s, u" 00:00:02"_s}));
    const QDateTime start(QDate(2024, 1, 1), QTime(8, 0));
    EXPECT_EQ(TJobMachine::ElapsedText(start, start.addSecs(3661)), u" 01:01:01"_s);
    EXPECT_EQ(TJobMachine::ElapsedText(start, start.addSecs(25 * 3600 + 2)), u" 01:00:02"_s);
}
