#pragma once

#include "LowPriorityThread.h"
#include "SmtpSession.h"
#include "SmtpThreadState.h"
#include "TEmailMessage.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>

class TESettings;

/**
 * @short One SMTP connection of a sending job, in a worker thread: connects,
 * authenticates, then sends every message handed over in Pending until
 * StopFlag is set or a fatal error ends it.
 *
 * The job machine and the thread share only the atomic fields and ErrorText.
 * Hand-over: fill a TEmailMessage, then store its address in Pending, only
 * while the state is 4, 6 or 7 and IsBusy() is false; leave the message
 * untouched until Pending is null again. Then State 6 means sent, 7 failed
 * with ErrorText. ErrorText is complete before the state that announces it.
 */
class TSMTPThread {
public:
    TSMTPThread() = default;
    /** Asks the thread to stop and waits for its run to end. */
    ~TSMTPThread();
    TSMTPThread(const TSMTPThread &) = delete;
    TSMTPThread &operator=(const TSMTPThread &) = delete;

    /** Gives the thread its settings (read directly, not owned; unchanged while it runs). */
    void Setup(const TESettings &settings);
    /** Starts the session, once, at below-normal priority. */
    void Start();

    /** A send is under way or a message waits in Pending. */
    bool IsBusy() const;
    /** The run has ended (the session is closed). */
    bool Terminated() const { return m_terminated.load(); }
    /** The text of the last failure. */
    QString ErrorText() const;

    /** Test hook: how the session is made (the network library by default). */
    void SetSessionFactory(SmtpSessionFactory factory) { m_sessionFactory = std::move(factory); }

    const TESettings *Settings = nullptr;
    std::atomic<SmtpThreadState> State{SmtpThreadState::Connecting};
    /** Set by the job machine to make the thread disconnect and end; a send under way is finished first. */
    std::atomic<bool> StopFlag{false};
    /** The message handed over for sending, not owned; the thread clears it when done with it. */
    std::atomic<const TEmailMessage *> Pending{nullptr};

private:
    void Run();
    void SendPending(SmtpSession &session, const TEmailMessage &em);
    void SetErrorText(const QString &text);

    mutable std::mutex m_errorMutex;
    QString m_errorText;
    std::atomic<bool> m_terminated{false};
    SmtpSessionFactory m_sessionFactory = CreateSmtpSession;
    LowPriorityThread m_thread; // last: joined before the fields above go
};
