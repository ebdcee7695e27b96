#pragma once

#include "SmtpThreadState.h"

#include <QString>

struct TEmailMessage;

/**
 * @short One SMTP connection of a sending job, run by a worker thread.
 *
 * The job hands one e-mail at a time over; the worker sends it on the same
 * connection and reports the result through State() and ErrorText().
 * Destroying the object waits until the worker has ended.
 */
class ISmtpWorker {
public:
    virtual ~ISmtpWorker() = default;

    virtual void Start() = 0;
    virtual SmtpThreadState State() const = 0;
    /** The text of the last failure; complete no later than the state that reports it. */
    virtual QString ErrorText() const = 0;
    /** Sending, or an e-mail handed over and not yet taken. */
    virtual bool IsBusy() const = 0;
    /**
     * Hands the worker its own copy of the e-mail; only while connected and
     * not busy. A hand-over while busy is a fault of the caller: it is
     * refused (an assertion, and std::logic_error where assertions are off).
     */
    virtual void Hand(const TEmailMessage &message) = 0;
    /** Asks the worker to finish the e-mail in progress, disconnect and end. */
    virtual void RequestDisconnect() = 0;
    /** The worker's run has ended. */
    virtual bool Terminated() const = 0;
    /**
     * The job's end, before the worker has ended: the same request as
     * RequestDisconnect, so an e-mail being sent is finished, never broken
     * off (one handed over and not yet taken is not sent). Destroying the
     * worker then waits for the end.
     */
    virtual void Stop() = 0;
};
