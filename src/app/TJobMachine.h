#pragma once

#include "IConnectionWorker.h"
#include "ISmtpWorker.h"
#include "JobMode.h"
#include "RecipientStatus.h"
#include "TEmailMessage.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>

class AppError;
class IJobList;
class IJobTimer;
class IJobView;
class IJobWorkers;
class PowerInhibitor;
class TESettings;
struct TJobInfo;

/**
 * @short Runs every job: starts and ends it, walks the recipients, hands each
 * e-mail to the sending worker, records the results, paces the job and
 * reports how it ended.
 *
 * Stepped by the job timer, one step per tick, on the user-interface thread.
 * It talks to the mailing list, the window and the workers only through
 * small interfaces, so a test can drive it tick by tick.
 */
class TJobMachine {
public:
    /**
     * The steps of a job; the method of the same name does each one. Their
     * numbers are fixed since the first version (there is no step 5).
     */
    enum class Step : std::uint8_t {
        ChooseFirstRecipient = 0,
        StartFirstConnection = 1,
        AwaitFirstConnection = 2,
        AwaitResult = 3,
        CountDownDelay = 4,
        SendNextRecipient = 6,
        AwaitFinalDisconnect = 7,
        AwaitPauseDisconnect = 8,
        CountDownPause = 9,
        AwaitReconnection = 10,
        StartConnectionTest = 11,
        AwaitConnectionTest = 12,
    };

    TJobMachine(TESettings &settings, TJobInfo &jobInfo, IJobList &list, IJobView &view, IJobWorkers &workers,
                IJobTimer &timer, PowerInhibitor &inhibitor);
    ~TJobMachine();
    TJobMachine(const TJobMachine &) = delete;
    TJobMachine &operator=(const TJobMachine &) = delete;

    /** A job mode starts that job (nothing when one runs); Idle ends the running one with its report. */
    void SetJobMode(JobMode mode);
    /** One step of the running job: the job timer's tick. */
    void Tick();
    /** "Stop Sending": honoured at the next point of the job that looks. */
    void RequestStop();

    /** Not idle from the start of a job until its end-of-job report is over. */
    JobMode Mode() const { return m_jobMode; }
    Step JobStep() const { return m_jobStep; }
    int Countdown() const { return m_countdown; }
    int SentThisConnection() const { return m_sentThisConnection; }
    bool StopRequested() const { return m_stopRequested; }
    /** The last e-mail handed over. */
    const TEmailMessage &EmailMessage() const { return m_emailMessage; }
    bool HasWorker() const { return m_smtpThread || m_connThread; }

    /** The time source of the elapsed time (tests set their own). */
    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    /** The elapsed job time as shown: " hh:mm:ss", hours modulo 24. */
    static QString ElapsedText(const QDateTime &start, const QDateTime &now);

private:
    void StartJob(JobMode mode);
    void EndJob();
    void ReportSendingJob();
    void ReportConnectionTest();
    void DoStep();

    // One method per step, named and ordered as the steps: what the step does
    // at a tick, or what it waits for.
    /** Positions the list on the first recipient; ends the job when there is none. */
    void ChooseFirstRecipient();
    /** Starts the sending worker of the first connection. */
    void StartFirstConnection();
    /** Waits until the first connection is idle, then sends the first e-mail. */
    void AwaitFirstConnection();
    /** Waits for the result of the e-mail in progress, records it and chooses what follows. */
    void AwaitResult();
    /** Counts down the delay between two e-mails. */
    void CountDownDelay();
    /** Waits until the worker is free, then moves to the next recipient and sends. */
    void SendNextRecipient();
    /** Waits until the worker has ended, then ends the job. */
    void AwaitFinalDisconnect();
    /** Waits until the worker has ended, then starts the reconnect pause. */
    void AwaitPauseDisconnect();
    /** Counts down the reconnect pause, then starts a new worker. */
    void CountDownPause();
    /** Waits until the new connection is idle. */
    void AwaitReconnection();
    /** Starts the connection-test worker. */
    void StartConnectionTest();
    /** Waits until the connection test has ended, then ends the job. */
    void AwaitConnectionTest();

    /** A new connection is idle and the job goes on; a failed one ends the job, a stop disconnects. */
    bool ConnectionReady();
    /** Counts and records the result of the e-mail just sent (or failed). */
    void RecordResult(RecipientStatus result);
    /** After a result: disconnect (batch done, stop, list done), delay, or pause to reconnect. */
    void ChooseAfterResult();
    /** Fills the e-mail for the current recipient or group and hands it to the worker, last. */
    void SendNext();
    /** Asks the worker to finish and disconnect; the job ends once it has. */
    void RequestDisconnect();
    void StartSmtpWorker();
    void SetStatus(const QString &text);
    /** Writes the job list now; a failure is told once per job, and the job goes on. */
    void SaveJobListNow();
    void ShowSaveError(const AppError &error);

    TESettings &m_settings;
    TJobInfo &m_jobInfo;
    IJobList &m_list;
    IJobView &m_view;
    IJobWorkers &m_workers;
    IJobTimer &m_timer;
    PowerInhibitor &m_inhibitor;
    std::function<QDateTime()> m_clock;

    JobMode m_jobMode = JobMode::Idle;
    Step m_jobStep = Step::ChooseFirstRecipient;
    int m_countdown = 0;
    int m_sentThisConnection = 0;
    bool m_stopRequested = false;
    TEmailMessage m_emailMessage;
    std::unique_ptr<IConnectionWorker> m_connThread;
    std::unique_ptr<ISmtpWorker> m_smtpThread;

    QString m_elapsedText;
    bool m_saveErrorShown = false;
    // A tick, or the end-of-job report with its boxes, is under way: ticks
    // that the boxes' event loops deliver meanwhile are ignored.
    bool m_busy = false;
};

/** The step in words ("await result"), for messages and test output. */
QString ToString(TJobMachine::Step step);
/** Prints the step in words in test output. */
void PrintTo(TJobMachine::Step step, std::ostream *os);
