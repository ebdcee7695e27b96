// The main window with real jobs: the real mailing list, message view and
// worker threads against the test SMTP server, dialogs answered by the seams.
#include "Main.h"

#include "DlgCompl.h"
#include "DlgEdRcp.h"
#include "DlgRestr.h"
#include "EmailAddress.h"
#include "FakePowerInhibitor.h"
#include "FileDialogs.h"
#include "HangGuard.h"
#include "JobListFile.h"
#include "JobListJournal.h"
#include "MessageBoxRecorder.h"
#include "ModalDialog.h"
#include "PnAdList.h"
#include "PnEmail.h"
#include "PnMsg.h"
#include "PnSett.h"
#include "ScriptedSmtpServer.h"
#include "StartupEnv.h"
#include "TBryStatusBar.h"
#include "TCardLabel.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "TJobMachine.h"
#include "TJobTimer.h"
#include "TRecipientModel.h"
#include "TTxtBtnPanel.h"
#include "TVTxtBtnPanel.h"
#include "TempDataFolder.h"
#include "TestSmtpServer.h"
#include "TextCodec.h"
#include "WebEmail.h"
#include "Workspace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

bool Enabled(const TCommandLinkBar *bar, CommandId command)
{
    const TCardLabel *link = bar->Link(command);
    return link && link->isEnabled();
}

QString Address(int row)
{
    return u"r%1@example.com"_s.arg(row);
}

/** @short Answers the job summary whenever it is open: Close, or Export Log. */
class SummaryAnswerer {
public:
    SummaryAnswerer()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (auto *dialog = qobject_cast<TSummaryDialog *>(QApplication::activeModalWidget())) {
                ++shown;
                dialog->done(exportLog ? TSummaryDialog::ExportLogResult : TSummaryDialog::CloseResult);
            }
        });
        m_timer.start();
    }
    int shown = 0;
    bool exportLog = false;

private:
    QTimer m_timer;
};

class MainFormTest : public testing::Test {
protected:
    explicit MainFormTest(const TestSmtpServerOptions &options = {})
        : smtp(options)
    {
    }

    void TearDown() override { SetFileDialogHook(nullptr); }

    /** Writes the configuration and the message the window will read. */
    void Configure(const std::function<void(TESettings &)> &more = {})
    {
        TESettings s;
        s.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
        s.Param(spSmtpPort).SetInt(smtp.PlainPort());
        s.Param(spSmtpTimeout).SetInt(10);
        s.Param(spYourEmail).SetStr(u"sender@example.com"_s);
        s.Param(spYourName).SetStr(u"Sender"_s);
        s.Param(spSubject).SetStr(u"Offer for %1"_s);
        s.Param(spDelay).SetInt(0);
        s.Param(spReconnect).SetInt(25);
        s.Param(spRecPause).SetInt(1);
        if (more)
            more(s);
        WriteTextFileAtomic(TESettings::MessageCopyFileName(), u"Dear %1,\r\nHello.\r\n"_s);
        s.ReadWriteConfig(true, SettingsGroupSet::All());
        port = s.Param(spSmtpPort).GetInt();
    }
    /** The job list of the previous run: one row per status, names "Name<row>". */
    void WriteList(const QList<int> &statuses)
    {
        std::vector<TRecipient> rows;
        for (int i = 0; i < statuses.size(); ++i) {
            const auto status = RecipientStatus(statuses[i]);
            rows.push_back({status, Address(i), {u"Name%1"_s.arg(i)}, StatusTextStart(status).toString()});
        }
        WriteJobList(JobListPath(), rows);
    }
    void Open()
    {
        auto inhibitor = std::make_unique<FakePowerInhibitor>();
        power = inhibitor.get();
        form = std::make_unique<TBryMainForm>(std::move(inhibitor));
        // Ten times the pace: every delay and pause counts ticks.
        form->JobTimer().SetInterval(10);
        form->show();
        // The test server's ports lie above the highest port the settings take
        // from the file (9999): the port goes straight into the live settings.
        form->Settings()->Param(spSmtpPort).SetInt(port);
    }
    void Start(const QList<int> &statuses, const std::function<void(TESettings &)> &more = {})
    {
        Configure(more);
        WriteList(statuses);
        Open();
    }
    TAdListPanel &List() const { return *form->AdListPanel(); }
    void Select(const QList<int> &rows)
    {
        QItemSelectionModel *selection = List().List()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(List().RecipientModel().index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    /** Runs a command and waits until the job it started has ended. */
    testing::AssertionResult Run(CommandId command)
    {
        form->ExecuteCommand(nullptr, command);
        return WaitIdle();
    }
    /** Waits until the job has ended: a hang guard, or with ms a bound. */
    testing::AssertionResult WaitIdle(int ms = HangGuardMs)
    {
        if (QTest::qWaitFor([&] { return form->CurrentJobMode() == JobMode::Idle; }, ms))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the job had still not ended after " << ms / 1000 << " s; it is at step "
                                           << int(form->JobMachine()->JobStep());
    }
    testing::AssertionResult WaitStep(TJobMachine::Step step)
    {
        if (QTest::qWaitFor([&] { return form->JobMachine()->JobStep() == step; }, HangGuardMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "the job had still not come to step " << int(step) << " after " << HangGuardMs / 1000
               << " s; it is at step " << int(form->JobMachine()->JobStep()) << " in mode "
               << int(form->CurrentJobMode());
    }
    QList<int> Statuses() const
    {
        QList<int> s;
        for (const TRecipient &r : List().RecipientModel().Recipients())
            s.append(ToInt(r.Status));
        return s;
    }
    /** The statuses as the job-list file holds them. */
    static QList<int> SavedStatuses()
    {
        QList<int> s;
        for (const TRecipient &r : ParseJobList(ReadJobListLines(JobListPath())).Rows)
            s.append(ToInt(r.Status));
        return s;
    }
    QStringList Received() const
    {
        QStringList to;
        for (const RecordedMessage &m : smtp.Messages())
            to.append(m.RcptTos);
        return to;
    }
    QList<int> SessionSizes(int count) const
    {
        EXPECT_TRUE(smtp.WaitForSessions(count));
        QList<int> sizes;
        for (const RecordedSession &s : smtp.Sessions())
            sizes.append(s.Messages);
        return sizes;
    }
    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const auto &box : boxes.Boxes())
            texts.append(box.text);
        return texts;
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    TestSmtpServer smtp;
    SummaryAnswerer summary;
    FakePowerInhibitor *power = nullptr;
    int port = 0;
    std::unique_ptr<TBryMainForm> form;
};

class RefusingMainFormTest : public MainFormTest {
protected:
    static TestSmtpServerOptions Options()
    {
        TestSmtpServerOptions o;
        o.RefuseRecipients = {Address(1)};
        o.RequireAuth = true;
        return o;
    }
    RefusingMainFormTest()
        : MainFormTest(Options())
    {
    }
    static void Authenticated(TESettings &s)
    {
        s.Param(spSmtpAuth).SetBool(true);
        s.Param(spSmtpUser).SetStr(u"user"_s);
        s.Param(spPassword).SetStr(u"secret"_s);
    }
};

/** A server that wants STARTTLS first on its STARTTLS port, and hangs up on row 1's RCPT TO. */
class SessionRefusingMainFormTest : public MainFormTest {
protected:
    static TestSmtpServerOptions Options()
    {
        TestSmtpServerOptions o;
        o.RequireStartTls = true;
        o.HangUpRecipients = {{Address(1), u"421 4.3.2 Shutting down"_s}};
        return o;
    }
    SessionRefusingMainFormTest()
        : MainFormTest(Options())
    {
    }
    /** The one error box held the server's words and the troubleshooting sentence. */
    void ExpectOneErrorBox(const QString &reply) const
    {
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Error);
        EXPECT_TRUE(boxes.Boxes()[0].text.contains(reply)) << boxes.Boxes()[0].text.toStdString();
        EXPECT_TRUE(boxes.Boxes()[0].text.endsWith(u"\"Troubleshooting Tips\" in Help."_s));
        EXPECT_EQ(summary.shown, 0);
    }
    void ExpectStatusTexts(const QList<int> &statuses) const
    {
        for (int row = 0; row < statuses.size(); ++row)
            EXPECT_TRUE(List().Recipient(row).StatusText.startsWith(StatusTextStart(RecipientStatus(statuses[row]))));
    }
};

} // namespace

TEST_F(MainFormTest, FirstShowingBuildsTheWindowWithEveryPanel)
{
    Start({0, 1, 2, 0});
    EXPECT_EQ(form->windowTitle(), u"Velko Courierline"_s);
    ASSERT_NE(form->EmailPanel(), nullptr);
    EXPECT_EQ(List().RecipientModel().Recipients().size(), 4u);
    // Counters are drawn from the list; the status bar has its five panels while idle.
    EXPECT_EQ(form->StatusBar()->PanelCount(), 5);
    EXPECT_EQ(List().StatusCount(RecipientStatus::NotSent), 2);
    // Every command works; a text message has no preview.
    TVTxtBtnPanel *bar = form->EmailPanel()->Buttons();
    EXPECT_FALSE(Enabled(bar, 18));
    EXPECT_TRUE(Enabled(bar, 20));
    EXPECT_TRUE(Enabled(bar, 25));
    EXPECT_TRUE(Enabled(bar, 14));
    EXPECT_TRUE(Enabled(bar, 22));
    EXPECT_TRUE(Enabled(form->SettPanel()->Buttons(), 0));
    EXPECT_TRUE(Enabled(form->SettPanel()->Buttons(), 1));
    for (const CommandId id : {cmMsgSettings, cmText, cmMethod})
        EXPECT_TRUE(Enabled(form->MsgPanel()->Buttons(), id)) << int(id);
}

TEST(MainFormSizeTest, WindowSizeFollowsTheWorkArea)
{
    EXPECT_EQ(MainFormSize(1024, 738), QSize(840, 670));
    EXPECT_EQ(MainFormSize(850, 600), QSize(700, 550));
    EXPECT_EQ(MainFormSize(640, 450), QSize(640, 450));
    EXPECT_EQ(MainFormSize(900, 600), QSize(840, 600));
    EXPECT_EQ(MainFormMinimumSize(640, 450), QSize(640, 450));
    EXPECT_EQ(MainFormMinimumSize(1024, 738), QSize(660, 512));
    EXPECT_EQ(TroubleshootingText(u"X."_s),
              u"X.\r\n\r\nFor a possible solution see Appendix \"Troubleshooting Tips\" in Help."_s);
}

TEST_F(MainFormTest, ThreeRecipientsOnOneConnectionEndWithTheSummary)
{
    Start({0, 0, 0});
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(summary.shown, 1);
    EXPECT_TRUE(boxes.Boxes().isEmpty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_EQ(Statuses(), (QList<int>{1, 1, 1}));
    EXPECT_TRUE(List().Recipient(2).StatusText.startsWith(u"Sent on "_s));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 1, 1}));
    EXPECT_EQ(form->JobInfo().Count(RecipientStatus::Sent), 3);
    EXPECT_EQ(Received(), (QStringList{Address(0), Address(1), Address(2)}));
    EXPECT_EQ(SessionSizes(1), QList<int>{3});
    // Each recipient got the e-mail the view showed for them.
    EXPECT_EQ(smtp.Messages()[1].Header(u"Subject"_s), u"Offer for Name1"_s);
    EXPECT_TRUE(smtp.Messages()[2].Parts[0].Text.contains(u"Dear Name2,"_s));
    // Idle again: caption, panels, status line gone, refusals released.
    EXPECT_EQ(form->windowTitle(), u"Velko Courierline"_s);
    EXPECT_EQ(form->StatusBar()->PanelCount(), 5);
    EXPECT_FALSE(power->IsInhibited());
    EXPECT_EQ(power->Reasons().size(), 1);
}

TEST_F(MainFormTest, StartUpTakesBackTheResultsOfAJobThatWasCutOff)
{
    Configure();
    WriteList({0, 0, 0});
    AppendJournal(JobListJournalPath(),
                  {{1, RecipientStatus::Sent, Address(1), u"Sent on 01/03/2024 09:00:00"_s},
                   {2, RecipientStatus::Failed, u"someone@else.org"_s, u"Error: not this list"_s}});
    Open();
    EXPECT_EQ(Statuses(), (QList<int>{0, 1, 0}));
    EXPECT_EQ(List().Recipient(1).StatusText, u"Sent on 01/03/2024 09:00:00"_s);
    EXPECT_EQ(SavedStatuses(), (QList<int>{0, 1, 0}));
    EXPECT_FALSE(QFile::exists(JobListJournalPath()));
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    // Only the rows not yet sent go out.
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(Received(), (QStringList{Address(0), Address(2)}));
}

TEST_F(MainFormTest, JournalThatCannotBeWrittenIsToldOnceAndTheWholeListKeepsEachResult)
{
    Configure();
    WriteList({0, 0, 0});
    Open();
    // Something that is not a file stands where the journal goes.
    ASSERT_TRUE(QDir().mkpath(JobListJournalPath()));
    int savedWithFirstResult = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        if (savedWithFirstResult < 0 && Statuses().count(1) == 1)
            savedWithFirstResult = int(SavedStatuses().count(1));
    });
    watch.start(1);
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(savedWithFirstResult, 1);
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 1, 1}));
    EXPECT_EQ(BoxTexts().count(u"Unable to write to "_s + JobListJournalPath()), 1)
        << BoxTexts().join(u'|').toStdString();
}

TEST_F(MainFormTest, SendAllRemainingAndResendFailedChooseTheirRows)
{
    Start({1, 0, 2, 0});
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(Received(), (QStringList{Address(1), Address(3)}));
    EXPECT_EQ(Statuses(), (QList<int>{1, 1, 2, 1}));
    ASSERT_TRUE(Run(16));
    EXPECT_EQ(Received(), (QStringList{Address(1), Address(3), Address(2)}));
    EXPECT_EQ(Statuses(), (QList<int>{1, 1, 1, 1}));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 1, 1, 1}));
    EXPECT_EQ(form->JobInfo().ProcessedCount(), 1);
}

TEST_F(MainFormTest, SendSelectedSeveralRowsEndsWithTheSummary)
{
    Start({1, 0, 2, 0});
    Select({0, 2, 3});
    ASSERT_TRUE(Run(15));
    EXPECT_EQ(Received(), (QStringList{Address(0), Address(2), Address(3)}));
    EXPECT_EQ(summary.shown, 1);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(MainFormTest, SendSelectedOneRowTellsMessageSentAndAsksBeforeSendingAgain)
{
    Start({0, 0});
    Select({1});
    ASSERT_TRUE(Run(15));
    EXPECT_EQ(BoxTexts(), QStringList{u"Message sent."_s});
    EXPECT_EQ(summary.shown, 0);
    EXPECT_EQ(Statuses(), (QList<int>{0, 1}));

    // Sent already: No starts nothing.
    boxes.Clear();
    Select({1});
    boxes.QueueAnswer(false);
    ASSERT_TRUE(Run(15));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Confirmation);
    EXPECT_EQ(smtp.Messages().size(), 1);
    // Two selected, one of them sent: no question.
    boxes.Clear();
    Select({0, 1});
    ASSERT_TRUE(Run(15));
    EXPECT_FALSE(BoxTexts().join(u'|').contains(u"already sent"_s));
    EXPECT_TRUE(smtp.WaitForMessages(3));
}

TEST_F(RefusingMainFormTest, RefusedRecipientFailsAloneOnTheSameConnection)
{
    Start({0, 0, 0}, Authenticated);
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(Statuses(), (QList<int>{1, 2, 1}));
    EXPECT_TRUE(List().Recipient(1).StatusText.startsWith(u"Error: "_s));
    EXPECT_TRUE(List().Recipient(1).StatusText.contains(u"550"_s));
    EXPECT_EQ(Received(), (QStringList{Address(0), Address(2)}));
    EXPECT_EQ(SessionSizes(1), QList<int>{2});
    EXPECT_EQ(form->JobInfo().Count(RecipientStatus::Failed), 1);
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 2, 1}));
}

TEST_F(RefusingMainFormTest, SendSelectedFailureShowsTheFailureBox)
{
    Start({0, 0, 0}, Authenticated);
    Select({1});
    ASSERT_TRUE(Run(15));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Error);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(u"Failure:\r\n\r\n"_s)) << boxes.Boxes()[0].text.toStdString();
    EXPECT_TRUE(boxes.Boxes()[0].text.endsWith(u"\"Troubleshooting Tips\" in Help."_s));
}

TEST_F(RefusingMainFormTest, AuthenticationRefusedAtAReconnectionKeepsTheEarlierResults)
{
    Start({0, 0, 0, 0}, [](TESettings &s) {
        Authenticated(s);
        s.Param(spReconnect).SetInt(2);
        s.Param(spRecPause).SetInt(2);
    });
    form->ExecuteCommand(nullptr, 14);
    ASSERT_TRUE(WaitStep(TJobMachine::Step::CountDownPause));
    // The password goes wrong before the reconnection.
    form->Settings()->Param(spPassword).SetStr(u"wrong"_s);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(u"Authentication Error."_s));
    EXPECT_EQ(summary.shown, 0);
    // The first connection's results (row 1 refused by the server) stay, also in the file.
    EXPECT_EQ(Statuses(), (QList<int>{1, 2, 0, 0}));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 2, 0, 0}));
}

// A reply about the session, not the recipient, ends the job the way an
// authentication error does, and the rows it never reached keep their status.
TEST_F(SessionRefusingMainFormTest, SessionRefusalEndsTheJobAndLeavesTheRows)
{
    // SSL off against a server that wants STARTTLS: 530 to MAIL FROM.
    Start({0, 0, 0}, [this](TESettings &s) { s.Param(spSmtpPort).SetInt(smtp.StartTlsPort()); });
    ASSERT_TRUE(Run(14));
    ExpectOneErrorBox(u"530 Must issue a STARTTLS command first"_s);
    EXPECT_EQ(Statuses(), (QList<int>{0, 0, 0}));
    ExpectStatusTexts({0, 0, 0});
    EXPECT_EQ(SavedStatuses(), (QList<int>{0, 0, 0}));

    // 421 to row 1's RCPT TO: row 0 went out before it.
    boxes.Clear();
    form->Settings()->Param(spSmtpPort).SetInt(smtp.PlainPort());
    ASSERT_TRUE(Run(14));
    ExpectOneErrorBox(u"421 4.3.2 Shutting down"_s);
    EXPECT_EQ(Statuses(), (QList<int>{1, 0, 0}));
    ExpectStatusTexts({1, 0, 0});
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(Received(), QStringList{Address(0)});
}

TEST_F(MainFormTest, ReconnectTwoWithPauseGivesSessionsOfTwoTwoAndOneAndSavesAtThePause)
{
    Start({0, 0, 0, 0, 0}, [](TESettings &s) {
        s.Param(spReconnect).SetInt(2);
        s.Param(spRecPause).SetInt(1);
    });
    form->ExecuteCommand(nullptr, 14);
    ASSERT_TRUE(WaitStep(TJobMachine::Step::CountDownPause));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 1, 0, 0, 0}));
    EXPECT_TRUE(form->StatusBar()->PanelText(5).startsWith(u" 1 second pause"_s));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(SessionSizes(3), (QList<int>{2, 2, 1}));
    EXPECT_EQ(Statuses(), (QList<int>{1, 1, 1, 1, 1}));
}

TEST_F(MainFormTest, BatchModeSendsOneBatchPerJob)
{
    Start({0, 0, 0, 0, 0}, [](TESettings &s) {
        s.Param(spBatchMode).SetBool(true);
        s.Param(spBatchQty).SetInt(2);
    });
    EXPECT_EQ(form->EmailPanel()->Buttons()->Link(14)->Caption(), u"Send Next Batch"_s);
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(Statuses(), (QList<int>{1, 1, 0, 0, 0}));
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(Statuses(), (QList<int>{1, 1, 1, 1, 0}));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 1, 1, 1, 0}));
    EXPECT_EQ(form->JobInfo().ProcessedCount(), 2);
}

TEST_F(MainFormTest, BccGroupsSendThreeEmailsForFiveRowsWithoutBccHeaders)
{
    Start({0, 0, 0, 0, 0}, [](TESettings &s) {
        s.Param(spMethodBcc).SetBool(true);
        s.Param(spMethodCount).SetInt(2);
        s.Param(spMethodEmail).SetStr(u"list@example.com"_s);
    });
    ASSERT_TRUE(Run(14));
    ASSERT_TRUE(smtp.WaitForMessages(3));
    const QList<RecordedMessage> messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 3);
    for (const RecordedMessage &m : messages) {
        EXPECT_FALSE(m.HasHeader(u"Bcc"_s));
        for (int row = 0; row < 5; ++row)
            EXPECT_FALSE(QString::fromUtf8(m.HeaderBlock()).contains(Address(row)));
    }
    EXPECT_TRUE(messages[0].RcptTos.contains(Address(0)));
    EXPECT_TRUE(messages[0].RcptTos.contains(Address(1)));
    EXPECT_TRUE(messages[2].RcptTos.contains(Address(4)));
    EXPECT_EQ(form->JobInfo().Count(RecipientStatus::Sent), 5);
    EXPECT_EQ(Statuses(), (QList<int>{1, 1, 1, 1, 1}));
}

// Rows whose address cannot be sent to fail on their own rows with the
// reason, in both send methods; the job goes on, and the server never sees
// them.
TEST_F(MainFormTest, InvalidAddressesFailTheirOwnRowsAndNeverReachTheServer)
{
    const QString bad1 = u"r1@example.com> NOTIFY=SUCCESS"_s;
    const QString bad3 = u"Bcc: r3@example.com"_s;
    for (const bool bcc : {false, true}) {
        SCOPED_TRACE(bcc);
        Start({0, 0, 0, 0, 0}, [bcc](TESettings &s) {
            s.Param(spMethodBcc).SetBool(bcc);
            s.Param(spMethodCount).SetInt(3);
            s.Param(spMethodEmail).SetStr(u"list@example.com"_s);
        });
        List().RecipientModel().SetValues(1, bad1, {u"Name1"_s});
        List().RecipientModel().SetValues(3, bad3, {u"Name3"_s});
        ASSERT_TRUE(Run(14));
        EXPECT_EQ(Statuses(), (QList<int>{1, 2, 1, 2, 1}));
        EXPECT_EQ(List().Recipient(1).StatusText, u"Error: "_s + InvalidAddressText(bad1));
        EXPECT_EQ(List().Recipient(3).StatusText, u"Error: "_s + InvalidAddressText(bad3));
        EXPECT_EQ(form->JobInfo().Count(RecipientStatus::Sent), 3);
        EXPECT_EQ(form->JobInfo().Count(RecipientStatus::Failed), 2);
    }
    const QString list = u"list@example.com"_s;
    EXPECT_EQ(Received(),
              (QStringList{Address(0), Address(2), Address(4), list, Address(0), Address(2), list, Address(4)}));
}

TEST_F(MainFormTest, StopWhileSendingRecordsThatResultThenEndsWithoutSummary)
{
    Start({0, 0, 0});
    form->ExecuteCommand(nullptr, 14);
    ASSERT_TRUE(WaitStep(TJobMachine::Step::AwaitResult));
    form->ExecuteCommand(nullptr, 17);
    EXPECT_EQ(form->StatusBar()->PanelText(5), u" Stopping the e-mail job ..."_s);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Statuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(summary.shown, 0);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(MainFormTest, StopDuringTheDelay)
{
    Start({0, 0, 0}, [](TESettings &s) { s.Param(spDelay).SetInt(5); });
    form->ExecuteCommand(nullptr, 14);
    ASSERT_TRUE(WaitStep(TJobMachine::Step::CountDownDelay));
    EXPECT_EQ(form->StatusBar()->PanelText(5), u" Waiting 5 second(s) ..."_s);
    form->ExecuteCommand(nullptr, 17);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Statuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(summary.shown, 0);
}

TEST_F(MainFormTest, StopDuringThePause)
{
    Start({0, 0, 0}, [](TESettings &s) {
        s.Param(spReconnect).SetInt(1);
        s.Param(spRecPause).SetInt(60);
    });
    form->ExecuteCommand(nullptr, 14);
    ASSERT_TRUE(WaitStep(TJobMachine::Step::CountDownPause));
    form->ExecuteCommand(nullptr, 17);
    ASSERT_TRUE(WaitIdle(2000));
    EXPECT_EQ(Statuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(SessionSizes(1), QList<int>{1});
    EXPECT_EQ(summary.shown, 0);
}

TEST_F(MainFormTest, NothingListeningShowsTheConnectionErrorWithTheTroubleshootingSentence)
{
    Start({0, 0}, [](TESettings &s) { s.Param(spSmtpPort).SetInt(TestSmtpServer::UnusedPort()); });
    ASSERT_TRUE(Run(14));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Error);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(u"Connection Error."_s));
    EXPECT_TRUE(boxes.Boxes()[0].text.endsWith(
        u"\r\n\r\nFor a possible solution see Appendix \"Troubleshooting Tips\" in Help."_s));
    EXPECT_EQ(Statuses(), (QList<int>{0, 0}));
}

TEST_F(MainFormTest, ConnectionTestReportsSuccessAndFailure)
{
    Start({0});
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(BoxTexts(), QStringList{u"Connection successfully verified!"_s});
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Information);

    boxes.Clear();
    form->Settings()->Param(spSmtpPort).SetInt(TestSmtpServer::UnusedPort());
    ASSERT_TRUE(Run(1));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Error);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(u"Connection could not be established."_s));
    EXPECT_TRUE(boxes.Boxes()[0].text.endsWith(u"in Help."_s));
    EXPECT_TRUE(smtp.Messages().isEmpty());
}

// A server that refuses the login and then never answers QUIT: the job and
// the connection test end at once with the refusal, and the window's event
// loop never stands still waiting on the server.
TEST_F(MainFormTest, AServerThatNeverAnswersQuitNeverHoldsTheWindow)
{
    QList<ServerStep> refusing = {ServerStep::Send("220 scripted\r\n")};
    for (const QByteArray reply : {"250 scripted", "334 VXNlcm5hbWU6", "334 UGFzc3dvcmQ6", "535 5.7.8 no"})
        refusing += {ServerStep::Line(), ServerStep::Send(reply + "\r\n")};
    Start({0, 0}, [](TESettings &s) {
        s.Param(spSmtpAuth).SetBool(true);
        s.Param(spSmtpUser).SetStr(u"user"_s);
        s.Param(spSmtpTimeout).SetInt(4); // 2 seconds
    });
    QElapsedTimer sinceLastTick;
    qint64 longestStill = 0;
    QTimer ticks;
    ticks.setInterval(5);
    QObject::connect(&ticks, &QTimer::timeout, &ticks,
                     [&] { longestStill = std::max(longestStill, sinceLastTick.restart()); });
    for (const CommandId command : {cmSendAll, cmTestConnection}) {
        ScriptedSmtpServer server(refusing);
        form->Settings()->Param(spSmtpPort).SetInt(server.Port());
        boxes.Clear();
        QElapsedTimer job;
        job.start();
        sinceLastTick.start();
        longestStill = 0;
        ticks.start();
        ASSERT_TRUE(Run(command));
        ticks.stop();
        EXPECT_LT(job.elapsed(), 1000) << command;
        EXPECT_LT(longestStill, 250) << command;
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_TRUE(boxes.Boxes()[0].text.contains(u"535 5.7.8 no"_s)) << boxes.Boxes()[0].text.toStdString();
    }
    EXPECT_EQ(Statuses(), (QList<int>{0, 0}));
}

TEST_F(MainFormTest, ClosingIsRefusedDuringAJobAndSavesTheConfigurationWhenIdle)
{
    Start({0, 0, 0}, [](TESettings &s) { s.Param(spDelay).SetInt(5); });
    form->ExecuteCommand(nullptr, 14);
    ASSERT_TRUE(WaitStep(TJobMachine::Step::CountDownDelay));
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(u"Program cannot close while e-mail job is active."_s));
    form->ExecuteCommand(nullptr, 17);
    ASSERT_TRUE(WaitIdle());

    // A connection test refuses silently.
    boxes.Clear();
    form->Settings()->Param(spSmtpPort).SetInt(smtp.SilentPort());
    form->Settings()->Param(spSmtpTimeout).SetInt(1);
    form->ExecuteCommand(nullptr, 1);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    ASSERT_TRUE(WaitIdle());

    // Idle: the configuration is written with the window's placement.
    QFile::remove(TESettings::ConfigFileName());
    EXPECT_TRUE(form->close());
    const QString config = ReadTextFile(TESettings::ConfigFileName());
    EXPECT_TRUE(config.contains(u"[FormSizePos]"_s));
    EXPECT_TRUE(config.contains(u"SMTP_Server=127.0.0.1"_s));
}

TEST_F(MainFormTest, StatusBarShowsElapsedTimeAndStatusLineDuringAJobAndHintsOnlyWhenIdle)
{
    Start({0, 0, 0}, [](TESettings &s) { s.Param(spDelay).SetInt(5); });
    QStatusTipEvent hint(u"Import a mailing list"_s);
    QApplication::sendEvent(form.get(), &hint);
    EXPECT_EQ(form->StatusBar()->PanelText(4), u" Import a mailing list"_s);

    form->ExecuteCommand(nullptr, 14);
    ASSERT_TRUE(WaitStep(TJobMachine::Step::CountDownDelay));
    EXPECT_EQ(form->StatusBar()->PanelCount(), 6);
    EXPECT_EQ(form->windowTitle(), u"Velko Courierline - Job in progress ..."_s);
    EXPECT_TRUE(power->IsInhibited());
    EXPECT_EQ(form->StatusBar()->PanelText(4), u" 00:00:00"_s);
    QStatusTipEvent during(u"Export the list"_s);
    QApplication::sendEvent(form.get(), &during);
    EXPECT_EQ(form->StatusBar()->PanelText(4), u" 00:00:00"_s);
    EXPECT_EQ(form->StatusBar()->PanelText(5), u" Waiting 5 second(s) ..."_s);
    // The position of the current recipient: the first, whose result the delay follows.
    EXPECT_EQ(form->StatusBar()->PanelText(3), u"1 : 3 "_s);
    form->ExecuteCommand(nullptr, 17);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(form->StatusBar()->PanelCount(), 5);
    EXPECT_TRUE(form->StatusBar()->PanelText(4).isEmpty());
}

TEST_F(MainFormTest, ExportLogFromTheSummaryWritesTheLogAndTheJobListIsSaved)
{
    Start({0, 0});
    const QString log = data.Path(u"log.csv"_s);
    SetFileDialogHook([&](FileDialogRequest &) { return QStringList{log}; });
    summary.exportLog = true;
    ASSERT_TRUE(Run(14));
    EXPECT_EQ(summary.shown, 1);
    ASSERT_TRUE(QFile::exists(log));
    EXPECT_TRUE(ReadTextFile(log).contains(Address(1)));
    EXPECT_EQ(SavedStatuses(), (QList<int>{1, 1}));
}

TEST_F(MainFormTest, F1AndHelpOpenTheHelpPage)
{
    Start({0});
    WriteTextFileAtomic(ProgramDir() + u"bry_help.htm"_s, u"<html></html>"_s);
    QStringList opened;
    SetUrlOpenHook([&](const QUrl &url) {
        opened.append(url.toLocalFile());
        return true;
    });
    QWidget *focus = form->AdListPanel()->List();
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_F1);
    form->ExecuteCommand(nullptr, 22);
    SetUrlOpenHook(nullptr);
    EXPECT_EQ(opened, (QStringList{ProgramDir() + u"bry_help.htm"_s, ProgramDir() + u"bry_help.htm"_s}));
}

TEST_F(MainFormTest, ErrorOfACommandIsShownAndTheProgramGoesOn)
{
    Start({0, 0});
    // The job list cannot be written: a folder stands where the file goes.
    QFile::remove(JobListPath());
    ASSERT_TRUE(QDir().mkpath(JobListPath()));
    Select({0});
    form->ExecuteCommand(nullptr, 10);
    ASSERT_FALSE(boxes.Boxes().isEmpty());
    EXPECT_EQ(boxes.Boxes().last().type, MsgDlgType::Error);
    EXPECT_TRUE(boxes.Boxes().last().text.contains(u"bry_jlst.bxq"_s));
    EXPECT_EQ(form->CurrentJobMode(), JobMode::Idle);
}

// Every command that changes the rows brings the counters up to date.
TEST_F(MainFormTest, TheStatusCountersFollowEveryCommandThatChangesTheRows)
{
    Start({0, 2});
    const QString archive = data.Path(u"start.bxk"_s);
    WriteWorkspaceArchive(archive, ProgramDirNoBackslash());
    const QString list = data.Path(u"four.csv"_s);
    WriteTextFileAtomic(list, u"a@example.com\r\nb@example.com\r\nc@example.com\r\nd@example.com\r\n"_s);
    const auto counters = [this] {
        const TBryStatusBar &bar = *form->StatusBar();
        return (bar.PanelText(0) + u' ' + bar.PanelText(1) + u' ' + bar.PanelText(2)).toStdString();
    };
    const auto editRow = [this](CommandId command, const QString &address) {
        WhenOpen<TEditRcpDialog>([address](TEditRcpDialog &dialog) {
            dialog.Edits[0]->setText(address);
            dialog.ButtonBar->Button(bOK)->click();
        });
        form->ExecuteCommand(nullptr, command);
    };
    EXPECT_EQ(counters(), "1 0 1");
    editRow(cmAdd, u"new@example.com"_s);
    EXPECT_EQ(counters(), "2 0 1");
    Select({2});
    editRow(cmEdit, u"edited@example.com"_s);
    EXPECT_EQ(counters(), "2 0 1");
    ASSERT_TRUE(Run(cmResendFailed));
    EXPECT_EQ(counters(), "2 1 0");
    Select({1});
    form->ExecuteCommand(nullptr, cmResetStatus);
    EXPECT_EQ(counters(), "3 0 0");
    Select({0});
    form->ExecuteCommand(nullptr, cmDelete);
    EXPECT_EQ(counters(), "2 0 0");
    SetFileDialogHook([list](FileDialogRequest &) { return QStringList{list}; });
    form->ExecuteCommand(nullptr, cmImport);
    EXPECT_EQ(counters(), "4 0 0");
    form->ExecuteCommand(nullptr, cmClear);
    EXPECT_EQ(counters(), "0 0 0");
    SetFileDialogHook([archive](FileDialogRequest &) { return QStringList{archive}; });
    WhenOpen<TRestoreDialog>([](TRestoreDialog &dialog) { dialog.Buttons()->Button(bOK)->click(); });
    form->ExecuteCommand(nullptr, cmRestore);
    EXPECT_EQ(counters(), "2 0 0");
}

TEST_F(MainFormTest, SecondStartBringsTheWindowForward)
{
    Start({0});
    form->showMinimized();
    form->ComeForward();
    EXPECT_FALSE(form->isMinimized());
    form->hide();
    form->ComeForward();
    EXPECT_TRUE(form->isVisible());
}
