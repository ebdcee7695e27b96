#pragma once

#include "IConnectionWorker.h"
#include "ISmtpWorker.h"
#include "JobMode.h"
#include "TEmailMessage.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
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
    /** The steps of a job; 5 is never entered, and a step without a case does nothing. */
    enum Step : std::uint8_t {
        ChooseFirst = 0,
        StartWorker = 1,
        AwaitFirstConnection = 2,
        AwaitResult = 3,
        Delay = 4,
        SendNextRecipient = 6,
        AwaitFinalDisconnect = 7,
        AwaitPauseDisconnect = 8,
        Pause = 9,
        AwaitReconnection = 10,
        StartConnectionTest = 11,
        AwaitConnectionTest = 12,
    };

    TJobMachine(TESettings &settings, TJobInfo &jobInfo, IJobList &list, IJobView &view, IJobWorkers &workers,
                IJobTimer &timer, PowerInhibitor &inhibitor);
    ~TJobMachine();
    TJobMachine(const TJobMachine &) = delete;
    TJobMachine &operator=(const TJobMachine &) = delete;

    /** Mode 1..4 starts a job (nothing when one runs), 0 ends the running one with its report. */
    void SetJobMode(JobMode mode);
    /** One step of the running job: the job timer's tick. */
    void Tick();
    /** "Stop Sending": honoured at the next point of the job that looks. */
    void RequestStop();

    /** Non-zero from the start of a job until its end-of-job report is over. */
    JobMode Mode() const { return m_jobMode; }
    std::uint8_t JobStep() const { return m_jobStep; }
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
    void StepAwaitResult();
    void SendNext();
    void RequestDisconnect();
    void StartSmtpWorker();
    void SetStatus(const QString &text);
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

    JobMode m_jobMode = jmIdle;
    std::uint8_t m_jobStep = ChooseFirst;
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
