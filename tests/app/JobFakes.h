#pragma once

// Stand-ins for the mailing list, the window, the job timer and the SMTP
// workers, so that the job machine can be driven tick by tick.

#include "AppError.h"
#include "IJobList.h"
#include "IJobTimer.h"
#include "IJobView.h"
#include "IJobWorkers.h"
#include "TEmailMessage.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

/** @short A mailing list of rows with statuses; the job walks it as the real list does. */
class FakeJobList : public IJobList {
public:
    struct Row {
        RecipientStatus status = RecipientStatus::NotSent;
        QString text;
    };

    // Statuses as the job-list file numbers them: 0 not sent, 1 sent, 2 failed.
    explicit FakeJobList(std::vector<int> statuses = {})
    {
        for (int s : statuses)
            rows.push_back({RecipientStatus(s), QString()});
    }

    std::vector<Row> rows;
    QList<int> selected; // the user's selection when the job starts
    int groupSize = 0;   // above 0: BCC groups of this size
    QList<int> current;  // the current recipient or group
    int saves = 0;
    int journaled = 0; // results made safe one by one
    int exports = 0;
    bool failSaves = false;
    bool failJournal = false;
    std::function<void()> onSave;

    static QString Address(int row) { return QStringLiteral("r%1@example.com").arg(row); }
    QList<int> Statuses() const
    {
        QList<int> s;
        for (const Row &r : rows)
            s.append(ToInt(r.status));
        return s;
    }

    void StartJob(JobMode mode)
    {
        m_queue = mode == JobMode::SendSelected ? selected : QList<int>();
        current = selected.isEmpty() ? QList<int>() : QList<int>{selected.first()};
    }

    void BeginRecipients(JobMode mode) override
    {
        if (mode == JobMode::SendSelected && m_queue.size() == 1) {
            current = m_queue;
            m_queue.clear();
            return;
        }
        current.clear();
        current = Next(mode, true);
    }
    bool HasCurrentRecipient() const override { return !current.isEmpty(); }
    bool HasNextRecipient(JobMode mode) override { return !Next(mode, false).isEmpty(); }
    bool AdvanceRecipients(JobMode mode) override
    {
        const QList<int> next = Next(mode, true);
        if (next.isEmpty())
            return false;
        current = next;
        return true;
    }
    void FillBccRecipients(TEmailMessage &message) override
    {
        message.Bcc.clear();
        for (int row : current)
            message.Bcc.append({Address(row), QString()});
    }
    void RecordResult(RecipientStatus status, const QString &errorText) override
    {
        for (int row : current) {
            rows[size_t(row)].status = status;
            rows[size_t(row)].text =
                status == RecipientStatus::Sent ? QStringLiteral("Sent") : QStringLiteral("Error: ") + errorText;
        }
        if (failJournal)
            throw AppError(QStringLiteral("Unable to write to bry_jlst.jnl"));
        ++journaled;
    }
    void SaveJobList() override
    {
        ++saves;
        if (onSave)
            onSave();
        if (failSaves)
            throw AppError(QStringLiteral("Unable to write to bry_jlst.bxq"));
    }
    void ExportLog() override { ++exports; }

private:
    // The next recipient, or the next group of up to groupSize, after the current one.
    QList<int> Next(JobMode mode, bool consume)
    {
        QList<int> found;
        const int want = groupSize > 0 ? groupSize : 1;
        if (mode == JobMode::SendSelected) {
            found = m_queue.mid(0, want);
            if (consume)
                m_queue.remove(0, found.size());
            return found;
        }
        if (mode != JobMode::SendAll && mode != JobMode::ResendFailed)
            return found;
        const RecipientStatus wanted = mode == JobMode::SendAll ? RecipientStatus::NotSent : RecipientStatus::Failed;
        for (int row = current.isEmpty() ? 0 : current.last() + 1; row < int(rows.size()) && found.size() < want; ++row)
            if (rows[size_t(row)].status == wanted)
                found.append(row);
        return found;
    }

    QList<int> m_queue;
};

/** @short The window as the job sees it: records what it was asked to show. */
class FakeJobView : public IJobView {
public:
    explicit FakeJobView(FakeJobList &list)
        : m_list(list)
    {
    }

    struct Box {
        QString kind; // "trouble", "info", "error"
        QString text;
    };

    QStringList statuses;
    QStringList elapsed;
    QList<Box> boxes;
    int summaries = 0;
    bool exportOnSummary = false;
    bool inJobMode = false;
    int results = 0;
    std::function<void()> duringReport; // run inside every end-of-job box

    void EnterJobMode(JobMode mode) override
    {
        inJobMode = true;
        m_list.StartJob(mode);
    }
    void LeaveJobMode() override { inJobMode = false; }
    void SetStatusText(const QString &text) override { statuses.append(text); }
    void SetElapsedText(const QString &text) override { elapsed.append(text); }
    void ShowResult() override { ++results; }
    void FillMessage(TEmailMessage &message) const override
    {
        const int row = m_list.current.isEmpty() ? -1 : m_list.current.first();
        message.To = {row < 0 ? QString() : FakeJobList::Address(row), QString()};
        message.Subject = QStringLiteral("Offer for row %1").arg(row);
        message.Body = QStringLiteral("Body %1").arg(row);
        message.BccTo.clear();
        message.ReplyTo.clear();
    }
    void ShowTroubleshootingError(const QString &text) override { Show({QStringLiteral("trouble"), text}); }
    void ShowInfo(const QString &text) override { Show({QStringLiteral("info"), text}); }
    void ShowError(const QString &text) override { Show({QStringLiteral("error"), text}); }
    bool ExecuteSummary() override
    {
        ++summaries;
        if (duringReport)
            duringReport();
        return exportOnSummary;
    }

private:
    void Show(const Box &box)
    {
        boxes.append(box);
        if (duringReport)
            duringReport();
    }

    FakeJobList &m_list;
};

/** @short The job timer: enabled or not; the test ticks by hand. */
class FakeJobTimer : public IJobTimer {
public:
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    bool IsEnabled() const override { return m_enabled; }

private:
    bool m_enabled = false;
};

class FakeSmtpServer;

/**
 * @short A sending worker without a thread: FakeSmtpServer::Advance() does one
 * step of what the real worker does between two ticks.
 */
class FakeSmtpWorker : public ISmtpWorker {
public:
    explicit FakeSmtpWorker(FakeSmtpServer &server);
    ~FakeSmtpWorker() override;

    void Start() override { started = true; }
    SmtpThreadState State() const override { return state; }
    QString ErrorText() const override { return error; }
    bool IsBusy() const override { return state == SmtpThreadState::Sending || pending; }
    void Hand(const TEmailMessage &message) override
    {
        // The machine hands over only to a connected worker that is not busy.
        EXPECT_FALSE(IsBusy()) << "a hand-over while the worker is busy";
        EXPECT_TRUE(IsReadyState(state)) << "a hand-over in state " << ToString(state).toStdString();
        pending = true;
        handed = message;
    }
    void RequestDisconnect() override { stopFlag = true; }
    bool Terminated() const override { return terminated; }
    void Stop() override
    {
        ++stops;
        terminated = true;
    }

    void Advance();

    FakeSmtpServer &server;
    bool started = false;
    SmtpThreadState state = SmtpThreadState::Connecting;
    QString error;
    bool pending = false;
    TEmailMessage handed;
    bool stopFlag = false;
    bool terminated = false;
    int stops = 0;
    int session = -1;
};

/** @short What the workers connect to: scripted answers, recorded e-mails. */
class FakeSmtpServer : public IJobWorkers {
public:
    // State after connecting, per connection (the last one repeats).
    QList<SmtpThreadState> connectStates{SmtpThreadState::Idle};
    // Result of each e-mail: Sent, SendFailed, or UnexpectedError (dies with the e-mail pending).
    std::function<SmtpThreadState(const TEmailMessage &)> sendResult = [](const TEmailMessage &) {
        return SmtpThreadState::Sent;
    };
    // The unexpected error leaves the run going until the job stops it.
    bool fatalKeepsRunning = false;
    bool testSucceeds = true;

    QList<QList<TEmailMessage>> sessions; // e-mails per connection
    FakeSmtpWorker *live = nullptr;
    int workersCreated = 0;
    int connectionTests = 0;
    int stops = 0;

    void Advance()
    {
        if (live)
            live->Advance();
        if (m_test)
            m_test->terminated = true;
    }

    std::unique_ptr<ISmtpWorker> CreateSmtpWorker(const TESettings &) override
    {
        ++workersCreated;
        return std::make_unique<FakeSmtpWorker>(*this);
    }

    class FakeConnectionWorker : public IConnectionWorker {
    public:
        explicit FakeConnectionWorker(FakeSmtpServer &server)
            : m_server(server)
        {
        }
        ~FakeConnectionWorker() override { m_server.m_test = nullptr; }
        void Start() override { m_server.m_test = this; }
        bool Terminated() const override { return terminated; }
        bool Success() const override { return m_server.testSucceeds; }
        QString ResultText() const override
        {
            return m_server.testSucceeds ? QStringLiteral("Connection successfully verified!")
                                         : QStringLiteral("Connection could not be established.");
        }
        bool terminated = false;

    private:
        FakeSmtpServer &m_server;
    };

    std::unique_ptr<IConnectionWorker> CreateConnectionWorker(const TESettings &) override
    {
        ++connectionTests;
        return std::make_unique<FakeConnectionWorker>(*this);
    }

    QList<int> SessionSizes() const
    {
        QList<int> sizes;
        for (const auto &s : sessions)
            sizes.append(int(s.size()));
        return sizes;
    }

private:
    FakeConnectionWorker *m_test = nullptr;
};

inline FakeSmtpWorker::FakeSmtpWorker(FakeSmtpServer &s)
    : server(s)
{
    server.live = this;
}

inline FakeSmtpWorker::~FakeSmtpWorker()
{
    server.stops += stops;
    if (server.live == this)
        server.live = nullptr;
}

inline void FakeSmtpWorker::Advance()
{
    if (!started || terminated)
        return;
    if (state == SmtpThreadState::Connecting) {
        const int connection = int(server.sessions.size());
        server.sessions.append(QList<TEmailMessage>());
        session = connection;
        state = server.connectStates.at(std::min(connection, int(server.connectStates.size()) - 1));
        if (IsFatalState(state)) {
            error = state == SmtpThreadState::ConnectionError
                        ? QStringLiteral("Connection Error.\r\n\r\nError Message: refused")
                        : QStringLiteral("Authentication Error.\r\n\r\nError Message: 535 no");
            terminated = true;
        }
        return;
    }
    if (pending && state != SmtpThreadState::Sending) {
        state = SmtpThreadState::Sending;
        return;
    }
    if (state == SmtpThreadState::Sending) {
        const SmtpThreadState result = server.sendResult(handed);
        if (result == SmtpThreadState::UnexpectedError) {
            // Dies while preparing the e-mail: the hand-over is never taken back.
            state = SmtpThreadState::UnexpectedError;
            error = QStringLiteral("Unexpected Error.\r\n\r\nError Message: no memory");
            terminated = !server.fatalKeepsRunning;
            return;
        }
        server.sessions[session].append(handed);
        state = result;
        error = result == SmtpThreadState::SendFailed ? QStringLiteral("550 mailbox unavailable") : QString();
        pending = false;
        return;
    }
    if (stopFlag)
        terminated = true;
}
