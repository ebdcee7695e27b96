#include "TJobMachine.h"

#include "AppError.h"
#include "IJobList.h"
#include "IJobTimer.h"
#include "IJobView.h"
#include "IJobWorkers.h"
#include "PowerInhibitor.h"
#include "TESettings.h"
#include "TJobInfo.h"
#include "TRecipient.h"

#include <QTime>

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
    if (mode == jmIdle)
        EndJob();
    else if (m_jobMode == jmIdle && !m_busy)
        StartJob(mode);
}

void TJobMachine::RequestStop()
{
    if (m_jobMode == jmIdle)
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
    if (mode != jmTestConnection && !m_settings.CheckAttachments())
        return;
    m_view.EnterJobMode(mode);
    m_jobInfo.StartTime = m_clock();
    m_jobInfo.BatchMode = m_settings.Param(spBatchMode).GetBool();
    m_stopRequested = false;
    m_jobInfo.Reset();
    m_saveErrorShown = false;
    m_jobStep = mode == jmTestConnection ? StartConnectionTest : ChooseFirst;
    m_timer.SetEnabled(true);
    m_jobMode = mode;
    m_inhibitor.Inhibit(mode == jmTestConnection ? u"Testing the SMTP connection"_s : u"Sending e-mail"_s);
}

void TJobMachine::Tick()
{
    if (m_busy)
        return;
    if (m_jobMode == jmIdle) {
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

void TJobMachine::DoStep()
{
    const JobMode mode = m_jobMode;
    switch (m_jobStep) {
    case ChooseFirst:
        m_list.BeginRecipients(mode);
        // Nobody to send to (the command was enabled on an outdated count): the
        // view would still hold the last recipient shown, who must not get it.
        if (!m_list.HasCurrentRecipient()) {
            EndJob();
            return;
        }
        SetStatus(u"Contacting SMTP Server ..."_s);
        m_jobStep = StartWorker;
        break;
    case StartWorker:
        m_jobStep = AwaitFirstConnection;
        StartSmtpWorker();
        break;
    case AwaitFirstConnection:
    case AwaitReconnection: {
        const int state = m_smtpThread->State();
        if (state == ISmtpWorker::Connecting || state == ISmtpWorker::Authenticating)
            return;
        if (state != ISmtpWorker::Idle) {
            EndJob();
            return;
        }
        m_sentThisConnection = 0;
        if (m_stopRequested)
            RequestDisconnect();
        else if (m_jobStep == AwaitFirstConnection)
            SendNext();
        else
            m_jobStep = SendNextRecipient; // the e-mail after a reconnect goes out without the delay
        break;
    }
    case AwaitResult:
        StepAwaitResult();
        break;
    case Delay:
        if (m_stopRequested) {
            RequestDisconnect();
            return;
        }
        if (--m_countdown < 1)
            m_jobStep = SendNextRecipient;
        break;
    case SendNextRecipient:
        if (m_stopRequested) {
            RequestDisconnect();
            return;
        }
        if (ISmtpWorker::IsFatal(m_smtpThread->State())) {
            EndJob();
            return;
        }
        if (m_smtpThread->IsBusy())
            return;
        if (m_list.AdvanceRecipients(mode))
            SendNext();
        else
            RequestDisconnect();
        break;
    case AwaitFinalDisconnect:
        if (m_smtpThread->Terminated())
            EndJob();
        break;
    case AwaitPauseDisconnect:
        if (m_smtpThread->Terminated()) {
            m_jobStep = Pause;
            m_smtpThread.reset();
            const int pause = m_settings.Param(spRecPause).GetInt();
            SetStatus(u"%1 second pause ..."_s.arg(pause));
            m_countdown = pause * TicksPerSecond;
            SaveJobListNow();
        }
        break;
    case Pause:
        if (m_stopRequested) {
            EndJob();
            return;
        }
        if (--m_countdown < 1) {
            m_jobStep = AwaitReconnection;
            SetStatus(u"Reconnecting ..."_s);
            StartSmtpWorker();
        }
        break;
    case StartConnectionTest:
        m_jobStep = AwaitConnectionTest;
        m_connThread = m_workers.CreateConnectionWorker(m_settings);
        m_connThread->Start();
        break;
    case AwaitConnectionTest:
        if (!m_connThread || m_connThread->Terminated())
            EndJob();
        break;
    default:
        break;
    }
}

void TJobMachine::StepAwaitResult()
{
    // A worker that died with an e-mail still handed over stays "busy" for
    // ever: the fatal states are looked at before the wait.
    if (ISmtpWorker::IsFatal(m_smtpThread->State())) {
        EndJob();
        return;
    }
    if (m_smtpThread->IsBusy())
        return;
    // Read after the wait: the worker writes the result before it lets go of the e-mail.
    const int state = m_smtpThread->State();
    if (ISmtpWorker::IsFatal(state)) {
        EndJob();
        return;
    }
    ++m_sentThisConnection;
    const RecipientStatus result = state == ISmtpWorker::Sent ? rsSent : rsFailed;
    m_jobInfo.Add(result, m_emailMessage.RecipientCount());
    // The result is on the disk before the next e-mail goes out: a crash can
    // then cost at most the one e-mail in flight.
    try {
        m_list.RecordResult(result, m_smtpThread->ErrorText());
    } catch (const AppError &error) {
        ShowSaveError(error);
    }
    m_view.ShowResult();

    const JobMode mode = m_jobMode;
    if (m_jobInfo.BatchMode && m_settings.Param(spBatchQty).GetInt() <= m_jobInfo.ProcessedCount()) {
        RequestDisconnect();
    } else if (m_stopRequested) {
        RequestDisconnect();
    } else if (!m_list.HasNextRecipient(mode)) {
        RequestDisconnect();
    } else if (m_settings.Param(spReconnect).GetInt() > m_sentThisConnection) {
        m_jobStep = Delay;
        const int delay = m_settings.Param(spDelay).GetInt();
        if (delay > 0) {
            SetStatus(u"Waiting %1 second(s) ..."_s.arg(delay));
            m_countdown = delay * TicksPerSecond;
        } else {
            m_countdown = 1;
        }
    } else {
        m_jobStep = AwaitPauseDisconnect;
        SetStatus(u"Disconnecting for pause ..."_s);
        m_smtpThread->RequestDisconnect();
    }
}

void TJobMachine::StartSmtpWorker()
{
    m_smtpThread = m_workers.CreateSmtpWorker(m_settings);
    m_smtpThread->Start();
}

void TJobMachine::SendNext()
{
    m_jobStep = AwaitResult;
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
    m_jobStep = AwaitFinalDisconnect;
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
    if (m_jobMode == jmIdle)
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
            m.m_jobMode = jmIdle;
            m.m_busy = wasBusy;
            m.m_inhibitor.Release();
        }
    } finish{*this, wasBusy};

    m_timer.SetEnabled(false);
    m_elapsedText.clear();
    m_view.LeaveJobMode();
    if (m_jobMode == jmTestConnection)
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
    const int state = m_smtpThread->State();
    const QString errorText = m_smtpThread->ErrorText();
    bool exportLog = false;
    if (ISmtpWorker::IsFatal(state)) {
        if (!errorText.isEmpty())
            m_view.ShowTroubleshootingError(errorText);
    } else if (m_stopRequested) {
        // stopped by the user: nothing to tell
    } else if (m_jobMode == jmSendSelected && m_jobInfo.ProcessedCount() == 1) {
        if (state == ISmtpWorker::Sent)
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
