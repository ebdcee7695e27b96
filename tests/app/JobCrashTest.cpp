// "Send All Remaining" in a child process (JobCrashRunner) against the test
// SMTP server, killed with SIGKILL at several points of the job and started
// again, until the job is over. After every kill, what the next start will
// find (the job list with its journal applied) must hold every result the
// child had recorded, and every recipient marked sent must have reached the
// server; at the end every recipient has had the e-mail, twice at most for
// the one e-mail in flight at each kill.
#include "HangGuard.h"
#include "JobListFile.h"
#include "JobListJournal.h"
#include "TESettings.h"
#include "TRecipientModel.h"
#include "TempDataFolder.h"
#include "TestSmtpServer.h"
#include "TextCodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 30;

QString Address(int row)
{
    return u"r%1@example.com"_s.arg(row);
}

/** @short What one start of the child printed, and whether the test killed it. */
struct RunResult {
    QStringList lines;
    bool killed = false;
    bool finished = false;
    int exitCode = -1;
};

class JobCrashTest : public testing::Test {
protected:
    void SetUp() override
    {
        TESettings s;
        s.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
        s.Param(spSmtpTimeout).SetInt(10);
        s.Param(spYourEmail).SetStr(u"sender@example.com"_s);
        s.Param(spYourName).SetStr(u"Sender"_s);
        s.Param(spSubject).SetStr(u"Offer for %1"_s);
        s.Param(spDelay).SetInt(0);
        s.Param(spReconnect).SetInt(5);
        s.Param(spRecPause).SetInt(1);
        WriteTextFileAtomic(TESettings::MessageCopyFileName(), u"Dear %1,\r\nHello.\r\n"_s);
        s.ReadWriteConfig(true, SettingsGroupSet::All());
        std::vector<TRecipient> rows;
        for (int i = 0; i < Rows; ++i)
            rows.push_back({RecipientStatus::NotSent,
                            Address(i),
                            {u"Name%1"_s.arg(i)},
                            StatusTextStart(RecipientStatus::NotSent).toString()});
        WriteJobList(JobListPath(), rows);
    }

    /**
     * Starts the child and kills it as soon as killWhen holds (looked at after
     * every line and every few milliseconds); a null killWhen lets it end. A
     * child that neither comes to that point nor ends within the hang guard
     * fails the test in words and is killed.
     */
    RunResult Run(const std::function<bool(const QStringList &lines)> &killWhen, bool holdAtFold = false)
    {
        QProcess child;
        child.setProgram(QStringLiteral(JOB_CRASH_RUNNER));
        QStringList args{u"--port"_s, QString::number(smtp.PlainPort())};
        if (holdAtFold)
            args.append(u"--hold-at-fold"_s);
        child.setArguments(args);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        RunResult result;
        if (!child.waitForStarted(HangGuardMs)) {
            ADD_FAILURE() << "the child had not started after " << HangGuardMs / 1000 << " s ("
                          << child.errorString().toStdString() << ")";
            return result;
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < HangGuardMs) {
            child.waitForReadyRead(5);
            while (child.canReadLine())
                result.lines.append(QString::fromUtf8(child.readLine()).trimmed());
            if (killWhen && killWhen(result.lines)) {
                child.kill();
                child.waitForFinished(10000);
                result.killed = true;
                break;
            }
            if (child.state() == QProcess::NotRunning) {
                result.lines.append(QString::fromUtf8(child.readAll()).split(u'\n', Qt::SkipEmptyParts));
                result.finished = child.exitStatus() == QProcess::NormalExit;
                result.exitCode = child.exitCode();
                break;
            }
        }
        if (child.state() != QProcess::NotRunning) {
            if (!result.killed)
                ADD_FAILURE() << "the child had neither come to the point to kill it at nor ended after "
                              << HangGuardMs / 1000 << " s; its last line: "
                              << (result.lines.isEmpty() ? u"none"_s : result.lines.last()).toStdString();
            child.kill();
            child.waitForFinished(10000);
        }
        for (const QString &line : result.lines) {
            if (line.startsWith(u"box "_s))
                boxes.append(line);
            if (line.startsWith(u"recorded "_s)) {
                const qsizetype bar = line.indexOf(u'|');
                recorded[line.mid(9, bar - 9).toInt()] = line.mid(bar + 1);
            }
        }
        return result;
    }

    static bool Has(const QStringList &lines, const QString &line) { return lines.contains(line); }
    static qsizetype Count(const QStringList &lines, const QString &prefix)
    {
        return std::count_if(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(prefix); });
    }

    /** The e-mails the server accepted, by recipient. */
    QMap<QString, int> Received() const
    {
        QMap<QString, int> received;
        for (const RecordedMessage &m : smtp.Messages())
            for (const QString &to : m.RcptTos)
                ++received[to];
        return received;
    }

    /**
     * What a start finds now: the job list with the journal applied. Checks
     * that no recorded result is lost and that nothing is marked sent that the
     * server did not get, with at most the one e-mail in flight unmarked.
     */
    void ExpectNothingLost(const char *where)
    {
        SCOPED_TRACE(where);
        TRecipientModel model;
        TJobList list = ParseJobList(ReadJobListLines(JobListPath()));
        model.ResetList(std::move(list.Rows), list.ParamColumns);
        ApplyJournal(model, ReadJournal(JobListJournalPath()));
        ASSERT_EQ(model.RecipientCount(), Rows);
        for (auto it = recorded.cbegin(); it != recorded.cend(); ++it) {
            EXPECT_EQ(model.Recipient(it.key()).Status, RecipientStatus::Sent) << it.key();
            EXPECT_EQ(model.Recipient(it.key()).StatusText.toStdString(), it.value().toStdString()) << it.key();
        }
        const QMap<QString, int> received = Received();
        int inFlight = 0;
        for (int row = 0; row < Rows; ++row) {
            const bool sent = model.Recipient(row).Status == RecipientStatus::Sent;
            if (sent)
                EXPECT_TRUE(received.contains(Address(row))) << row;
            else if (received.contains(Address(row)))
                ++inFlight;
        }
        EXPECT_LE(inFlight, 1);
    }

    TempDataFolder data;
    TestSmtpServer smtp;
    QMap<int, QString> recorded; // every result a child reported, by row
    QStringList boxes;
};

} // namespace

TEST_F(JobCrashTest, KilledAtAnyPointTheJobLosesNoResultAndSendsAtMostTheEmailInFlightTwice)
{
    int kills = 0;
    const auto killed = [&](const RunResult &run) {
        kills += run.killed ? 1 : 0;
        return run.killed;
    };

    // While e-mails go out: as soon as the server has the third.
    ASSERT_TRUE(killed(Run([&](const QStringList &) { return smtp.Messages().size() >= 3; })));
    ExpectNothingLost("while sending");

    // Right after a result was recorded.
    ASSERT_TRUE(killed(Run([](const QStringList &lines) { return Count(lines, u"recorded "_s) >= 2; })));
    ExpectNothingLost("after a result");

    // In the pause before reconnecting, after the list was written whole.
    ASSERT_TRUE(killed(Run([](const QStringList &lines) { return Has(lines, u"step 9"_s); })));
    ExpectNothingLost("in the pause");

    // Inside the fold at a pause: the list written, the journal not yet deleted.
    ASSERT_TRUE(killed(Run([](const QStringList &lines) { return Has(lines, u"fold"_s); }, true)));
    EXPECT_TRUE(QFile::exists(JobListJournalPath()));
    ExpectNothingLost("in the fold");

    // Inside the fold at the next start, which takes that journal back.
    const RunResult recovery = Run([](const QStringList &lines) { return Has(lines, u"fold"_s); }, true);
    ASSERT_TRUE(killed(recovery));
    EXPECT_FALSE(recovery.lines.contains(u"step 0"_s)); // killed before the job began
    ExpectNothingLost("in the fold at start-up");

    const RunResult last = Run(nullptr);
    ASSERT_TRUE(last.finished);
    EXPECT_EQ(last.exitCode, 0);
    EXPECT_TRUE(last.lines.contains(u"done"_s));
    ExpectNothingLost("at the end");
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();

    // Everybody got the e-mail; only those in flight at a kill got it twice.
    const TJobList saved = ParseJobList(ReadJobListLines(JobListPath()));
    ASSERT_EQ(saved.Rows.size(), size_t(Rows));
    for (const TRecipient &r : saved.Rows)
        EXPECT_EQ(r.Status, RecipientStatus::Sent) << r.Address.toStdString();
    EXPECT_FALSE(QFile::exists(JobListJournalPath()));
    const QMap<QString, int> received = Received();
    int twice = 0;
    for (int row = 0; row < Rows; ++row) {
        EXPECT_GE(received.value(Address(row)), 1) << row;
        twice += std::max(0, received.value(Address(row)) - 1);
    }
    EXPECT_LE(twice, kills);
    EXPECT_EQ(kills, 5);
}
