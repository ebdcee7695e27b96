#pragma once

#include "SmtpThreadState.h"
#include "SmtpWorkerThread.h"
#include "TEmailMessage.h"

#include <QString>

#include <atomic>

class SmtpSession;

/**
 * @short One SMTP connection of a sending job, in a worker thread: connects,
 * authenticates, then sends every message handed over until a stop is
 * requested or a fatal error ends it.
 *
 * The job machine and the thread share only the atomic fields and ErrorText.
 * Hand-over: Hand() a message, only while the state is ready (idle, sent or
 * failed) and IsBusy() is false; leave the message untouched until Pending()
 * is null again. Then State Sent means sent, SendFailed failed with
 * ErrorText. ErrorText is complete before the state that announces it. The
 * thread sleeps until a hand-over or a stop request wakes it.
 */
class TSMTPThread final : public SmtpWorkerThread {
public:
    TSMTPThread() = default;
    /** Asks the thread to stop and waits for its run to end (a send under way is finished first). */
    ~TSMTPThread() override;

    /** Hands a message over for sending (not owned) and wakes the thread. */
    void Hand(const TEmailMessage &message);
    /** The message handed over and not yet done with; the thread clears it when done. */
    const TEmailMessage *Pending() const { return m_pending.load(); }
    /** A send is under way or a message waits to be taken. */
    bool IsBusy() const;
    /** The text of the last failure. */
    QString ErrorText() const { return Text(); }

    std::atomic<SmtpThreadState> State{SmtpThreadState::Connecting};

private:
    void Run() override;
    /** Serves hand-overs until a stop is requested. */
    void ServeHandOvers(SmtpSession &session);
    void SendPending(SmtpSession &session, const TEmailMessage &em);

    std::atomic<const TEmailMessage *> m_pending{nullptr};
};
