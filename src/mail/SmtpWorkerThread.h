#pragma once

#include "LowPriorityThread.h"
#include "SmtpSession.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class TESettings;

/**
 * @short What both SMTP worker threads share: the settings, how the session is
 * made, one run below normal priority, the stop request that wakes it, the
 * terminated flag and a text the run leaves for the window.
 *
 * A derived class supplies Run() and calls Finish() first in its destructor,
 * so that the run has ended before the derived fields go. The window thread
 * only reads atomics and the text; the run waits on a condition variable, and
 * whatever it waits for is changed through Signal(), so no wake-up is lost.
 */
class SmtpWorkerThread {
public:
    virtual ~SmtpWorkerThread();
    SmtpWorkerThread(const SmtpWorkerThread &) = delete;
    SmtpWorkerThread &operator=(const SmtpWorkerThread &) = delete;

    /** Gives the thread its settings (read directly, not owned; unchanged while it runs). */
    void Setup(const TESettings &settings);
    /** Starts the run, once. */
    void Start();
    /** Asks the run to end at its next stop point and wakes it; work under way is finished first. */
    void RequestStop();
    bool StopRequested() const { return m_stop.load(); }
    /** The run has ended. */
    bool Terminated() const { return m_terminated.load(); }

    /** Test hook: how the session is made (the network library by default). */
    void SetSessionFactory(SmtpSessionFactory factory) { m_sessionFactory = std::move(factory); }

    const TESettings *Settings = nullptr;

protected:
    SmtpWorkerThread() = default;

    /** The body, run once on the worker thread. */
    virtual void Run() = 0;
    /** Asks the run to stop and waits for its end. */
    void Finish();

    /** A session with the options of the settings, not yet connected. */
    std::unique_ptr<SmtpSession> NewSession() const;
    /** Whether the settings ask for authentication. */
    bool WantsAuthentication() const;
    /**
     * Ends and frees the session, if there is one: with QUIT when the run went
     * well; at once when it failed, for the server need not answer then, and
     * the window may be waiting for the run to end.
     */
    static void CloseSession(std::unique_ptr<SmtpSession> &session, bool failed);

    /** Makes a change the run waits for (under the lock), then wakes the run. */
    template <class Change> void Signal(Change change)
    {
        {
            const std::lock_guard lock(m_mutex);
            change();
        }
        m_wake.notify_all();
    }
    /** Waits until a stop is requested or ready() holds; ready() is called under the lock. */
    template <class Ready> void WaitUntil(Ready ready)
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [&] { return m_stop.load() || ready(); });
    }

    /** The text the run leaves: complete before any state that announces it is stored. */
    QString Text() const;
    void SetText(const QString &text);

private:
    // Guards the text and every change the run waits for.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    QString m_text;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_terminated{false};
    SmtpSessionFactory m_sessionFactory = CreateSmtpSession;
    LowPriorityThread m_thread; // last: joined before the fields above go
};
