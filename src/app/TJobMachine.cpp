#include "TJobMachine.h"

#include "AppError.h"
#include "IJobList.h"
#include "IJobTimer.h"
#include "IJobView.h"
#include "IJobWorkers.h"
#include "PowerInhibitor.h"
#include "TESettings.h"
#include "TJobInfo.h"

#include <QTime>

#include <ostream>

using namespace Qt::StringLiterals;

namespace {

/** @short Sets a flag for the life of a scope, also when the scope is left by an exception. */
class FlagGuard {
public:
    explicit FlagGuard(bool &flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
};

constexpr int TicksPerSecond = 10;

} // namespace

TJobMachine::TJobMachine(TESettings &settings, TJobInfo &jobInfo, IJobList &list, IJobView &view, IJobWorkers &workers,
                         IJobTimer &timer, PowerInhibitor &inhibitor)
    : m_settings(settings)
    , m_jobInfo(jobInfo)
    , m_list(list)
    , m_view(view)
    , m_workers(workers)
    , m_timer(timer)
    , m_inhibitor(inhibitor)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
}

TJobMachine::~TJobMachine()
{
    // Workers still present when the window goes are ended and freed here.
    m_smtpThread.reset();
    m_connThread.reset();
    m_inhibitor.Release();
}

QString TJobMachine::ElapsedText(const QDateTime &start, const QDateTime &now)
{
    return u' ' + QTime(0, 0).addSecs(start.secsTo(now)).toString(u"hh:mm:ss"_s);
}

void TJobMachine::SetJobMode(JobMode mode)
{
    if (mode == JobMode::Idle)
        EndJob();
    else if (m_jobMode == JobMode::Idle && !m_busy)
        StartJob(mode);
}

void TJobMachine::RequestStop()
{
    if (m_jobMode == JobMode::Idle)
        return;
    m_stopRequested = true;
    SetStatus(u"Stopping the e-mail job ..."_s);
}

void TJobMachine::SetStatus(const QString &text)
{
    m_view.SetStatusText(text);
}

void TJobMachine::StartJob(JobMode mode)
{
    m_elapsedText.clear();
    m_view.SetElapsedText(m_elapsedText);
    if (mode != JobMode::TestConnection && (!m_settings.CheckAttachments() || !m_settings.CheckAddresses()))
        return;
    m_view.EnterJobMode(mode);
    m_jobInfo.StartTime = m_clock();
    m_jobInfo.BatchMode = m_settings.Param(spBatchMode).GetBool();
    m_stopRequested = false;
    m_jobInfo.Reset();
    m_saveErrorShown = false;
    m_jobStep = mode == JobMode::TestConnection ? Step::StartConnectionTest : Step::ChooseFirstRecipient;
    m_timer.SetEnabled(true);
    m_jobMode = mode;
    m_inhibitor.Inhibit(mode == JobMode::TestConnection ? u"Testing the SMTP connection"_s : u"Sending e-mail"_s);
}

void TJobMachine::Tick()
{
    if (m_busy)
        return;
    if (m_jobMode == JobMode::Idle) {
        m_timer.SetEnabled(false);
        return;
    }
    FlagGuard busy(m_busy);
    const QString elapsed = ElapsedText(m_jobInfo.StartTime, m_clock());
    if (elapsed != m_elapsedText) {
        m_elapsedText = elapsed;
        m_view.SetElapsedText(elapsed);
    }
    DoStep();
}

// One tick of the step the job stands in.
void TJobMachine::DoStep()
{
    switch (m_jobStep) {
    case Step::ChooseFirstRecipient:
        return ChooseFirstRecipient();
    case Step::StartFirstConnection:
        return StartFirstConnection();
    case Step::AwaitFirstConnection:
        return AwaitFirstConnection();
    case Step::AwaitResult:
        return AwaitResult();
    case Step::CountDownDelay:
        return CountDownDelay();
    case Step::SendNextRecipient:
        return SendNextRecipient();
    case Step::AwaitFinalDisconnect:
        return AwaitFinalDisconnect();
    case Step::AwaitPauseDisconnect:
        return AwaitPauseDisconnect();
    case Step::CountDownPause:
        return CountDownPause();
    case Step::AwaitReconnection:
        return AwaitReconnection();
    case Step::StartConnectionTest:
        return StartConnectionTest();
    case Step::AwaitConnectionTest:
        return AwaitConnectionTest();
    }
}

void TJobMachine::ChooseFirstRecipient()
{
    m_list.BeginRecipients(m_jobMode);
    // Nobody to send to (the command was enabled on an outdated count): the
    // view would still hold the last recipient shown, who must not get it.
    if (!m_list.HasCurrentRecipient()) {
        EndJob();
        return;
    }
    SetStatus(u"Contacting SMTP Server ..."_s);
    m_jobStep = Step::StartFirstConnection;
}

void TJobMachine::StartFirstConnection()
{
    m_jobStep = Step::AwaitFirstConnection;
    StartSmtpWorker();
}

void TJobMachine::AwaitFirstConnection()
{
    if (ConnectionReady())
        SendNext();
}

bool TJobMachine::ConnectionReady()
{
    const SmtpThreadState state = m_smtpThread->State();
    if (state == SmtpThreadState::Connecting || state == SmtpThreadState::Authenticating)
        return false;
    if (state != SmtpThreadState::Idle) {
        EndJob();
        return false;
    }
    m_sentThisConnection = 0;
    if (m_stopRequested) {
        RequestDisconnect();
        return false;
    }
    return true;
}

void TJobMachine::AwaitResult()
{
    // A worker that died with an e-mail still handed over stays "busy" for
    // ever: the fatal states are looked at before the wait.
    if (IsFatalState(m_smtpThread->State())) {
        EndJob();
        return;
    }
    if (m_smtpThread->IsBusy())
        return;
    // Read after the wait: the worker writes the result before it lets go of the e-mail.
    const SmtpThreadState state = m_smtpThread->State();
    if (IsFatalState(state)) {
        EndJob();
        return;
    }
    RecordResult(state == SmtpThreadState::Sent ? RecipientStatus::Sent : RecipientStatus::Failed);
    ChooseAfterResult();
}

void TJobMachine::RecordResult(RecipientStatus result)
{
    ++m_sentThisConnection;
    // Group addresses that could not go out fail on their own rows.
    const int refused = m_emailMessage.InvalidBccCount();
    m_jobInfo.Add(result, m_emailMessage.RecipientCount() - refused);
    m_jobInfo.Add(RecipientStatus::Failed, refused);
    // The result is on the disk before the next e-mail goes out: a crash can
    // then cost at most the one e-mail in flight.
    try {
        m_list.RecordResult(result, m_smtpThread->ErrorText());
    } catch (const AppError &error) {
        ShowSaveError(error);
    }
    m_view.ShowResult();
}

void TJobMachine::ChooseAfterResult()
{
    const bool batchDone = m_jobInfo.BatchMode && m_settings.Param(spBatchQty).GetInt() <= m_jobInfo.ProcessedCount();
    if (batchDone || m_stopRequested || !m_list.HasNextRecipient(m_jobMode)) {
        RequestDisconnect();
    } else if (m_settings.Param(spReconnect).GetInt() > m_sentThisConnection) {
        m_jobStep = Step::CountDownDelay;
        const int delay = m_settings.Param(spDelay).GetInt();
        if (delay > 0) {
            SetStatus(u"Waiting %1 second(s) ..."_s.arg(delay));
            m_countdown = delay * TicksPerSecond;
        } else {
            m_countdown = 1;
        }
    } else {
        m_jobStep = Step::AwaitPauseDisconnect;
        SetStatus(u"Disconnecting for pause ..."_s);
        m_smtpThread->RequestDisconnect();
    }
}

void TJobMachine::CountDownDelay()
{
    if (m_stopRequested) {
        RequestDisconnect();
        return;
    }
    if (--m_countdown < 1)
        m_jobStep = Step::SendNextRecipient;
}

void TJobMachine::SendNextRecipient()
{
    if (m_stopRequested) {
        RequestDisconnect();
        return;
    }
    if (IsFatalState(m_smtpThread->State())) {
        EndJob();
        return;
    }
    if (m_smtpThread->IsBusy())
        return;
    if (m_list.AdvanceRecipients(m_jobMode))
        SendNext();
    else
        RequestDisconnect();
}

void TJobMachine::AwaitFinalDisconnect()
{
    if (m_smtpThread->Terminated())
        EndJob();
}

void TJobMachine::AwaitPauseDisconnect()
{
    if (!m_smtpThread->Terminated())
        return;
    m_jobStep = Step::CountDownPause;
    m_smtpThread.reset();
    const int pause = m_settings.Param(spRecPause).GetInt();
    SetStatus(u"%1 second pause ..."_s.arg(pause));
    m_countdown = pause * TicksPerSecond;
    SaveJobListNow();
}

void TJobMachine::CountDownPause()
{
    // No worker exists during the pause: a stop ends the job at once.
    if (m_stopRequested) {
        EndJob();
        return;
    }
    if (--m_countdown < 1) {
        m_jobStep = Step::AwaitReconnection;
        SetStatus(u"Reconnecting ..."_s);
        StartSmtpWorker();
    }
}

void TJobMachine::AwaitReconnection()
{
    // The e-mail after a reconnect goes out at the next tick, without the delay.
    if (ConnectionReady())
        m_jobStep = Step::SendNextRecipient;
}

void TJobMachine::StartConnectionTest()
{
    m_jobStep = Step::AwaitConnectionTest;
    m_connThread = m_workers.CreateConnectionWorker(m_settings);
    m_connThread->Start();
}

void TJobMachine::AwaitConnectionTest()
{
    if (!m_connThread || m_connThread->Terminated())
        EndJob();
}

void TJobMachine::StartSmtpWorker()
{
    m_smtpThread = m_workers.CreateSmtpWorker(m_settings);
    m_smtpThread->Start();
}

void TJobMachine::SendNext()
{
    m_jobStep = Step::AwaitResult;
    SetStatus(u"Sending E-Mail ..."_s);
    m_view.FillMessage(m_emailMessage);
    // The message object lives from job to job: a group left from an earlier
    // BCC job must not ride along in an individual one.
    if (m_settings.IsBccMethod())
        m_list.FillBccRecipients(m_emailMessage);
    else
        m_emailMessage.Bcc.clear();
    m_emailMessage.MimeEna = m_settings.Param(spMimeEna).GetBool();
    m_emailMessage.CharSet = m_settings.Param(spCharSet).GetStr();
    m_smtpThread->Hand(m_emailMessage);
}

void TJobMachine::RequestDisconnect()
{
    m_jobStep = Step::AwaitFinalDisconnect;
    SetStatus(u"Disconnecting ..."_s);
    m_smtpThread->RequestDisconnect();
}

void TJobMachine::SaveJobListNow()
{
    // A failure must not leave the tick: its error box would let the job run
    // on underneath and stack one more box at every pause.
    try {
        m_list.SaveJobList();
    } catch (const AppError &error) {
        ShowSaveError(error);
    }
}

void TJobMachine::ShowSaveError(const AppError &error)
{
    // Told once per job; the job goes on, and the save at its end tells again.
    if (!m_saveErrorShown) {
        m_saveErrorShown = true;
        m_view.ShowError(error.Message());
    }
}

void TJobMachine::EndJob()
{
    if (m_jobMode == JobMode::Idle)
        return;
    const bool wasBusy = m_busy;
    m_busy = true;
    // Whatever the report throws, the job is over afterwards: idle, no worker,
    // no refusal of the screen saver.
    struct Finish {
        TJobMachine &m;
        bool wasBusy;
        ~Finish()
        {
            m.m_smtpThread.reset();
            m.m_connThread.reset();
            m.m_jobMode = JobMode::Idle;
            m.m_busy = wasBusy;
            m.m_inhibitor.Release();
        }
    } finish{*this, wasBusy};

    m_timer.SetEnabled(false);
    m_elapsedText.clear();
    m_view.LeaveJobMode();
    if (m_jobMode == JobMode::TestConnection)
        ReportConnectionTest();
    else
        ReportSendingJob();
}

void TJobMachine::ReportSendingJob()
{
    if (!m_smtpThread)
        return;
    if (!m_smtpThread->Terminated())
        m_smtpThread->Stop();
    const SmtpThreadState state = m_smtpThread->State();
    const QString errorText = m_smtpThread->ErrorText();
    bool exportLog = false;
    if (IsFatalState(state)) {
        if (!errorText.isEmpty())
            m_view.ShowTroubleshootingError(errorText);
    } else if (m_stopRequested) {
        // stopped by the user: nothing to tell
    } else if (m_jobMode == JobMode::SendSelected && m_jobInfo.ProcessedCount() == 1) {
        if (state == SmtpThreadState::Sent)
            m_view.ShowInfo(u"Message sent."_s);
        else
            m_view.ShowTroubleshootingError(u"Failure:\r\n\r\n"_s + errorText);
    } else if (m_jobInfo.ProcessedCount() > 0) {
        exportLog = m_view.ExecuteSummary();
    }
    m_smtpThread.reset();
    // The list is saved even when the export fails.
    try {
        if (exportLog)
            m_list.ExportLog();
    } catch (...) {
        m_list.SaveJobList();
        throw;
    }
    m_list.SaveJobList();
}

void TJobMachine::ReportConnectionTest()
{
    if (!m_connThread)
        return;
    if (m_connThread->Success())
        m_view.ShowInfo(m_connThread->ResultText());
    else
        m_view.ShowTroubleshootingError(m_connThread->ResultText());
}

QString ToString(TJobMachine::Step step)
{
    using Step = TJobMachine::Step;
    switch (step) {
    case Step::ChooseFirstRecipient:
        return u"choose first recipient"_s;
    case Step::StartFirstConnection:
        return u"start first connection"_s;
    case Step::AwaitFirstConnection:
        return u"await first connection"_s;
    case Step::AwaitResult:
        return u"await result"_s;
    case Step::CountDownDelay:
        return u"count down delay"_s;
    case Step::SendNextRecipient:
        return u"send next recipient"_s;
    case Step::AwaitFinalDisconnect:
        return u"await final disconnect"_s;
    case Step::AwaitPauseDisconnect:
        return u"await pause disconnect"_s;
    case Step::CountDownPause:
        return u"count down pause"_s;
    case Step::AwaitReconnection:
        return u"await reconnection"_s;
    case Step::StartConnectionTest:
        return u"start connection test"_s;
    case Step::AwaitConnectionTest:
        return u"await connection test"_s;
    }
    return u"step %1"_s.arg(int(step));
}

void PrintTo(TJobMachine::Step step, std::ostream *os)
{
    *os << ToString(step).toStdString();
}
