#pragma once

#include "LowPriorityThread.h"
#include "SmtpSession.h"

#include <QString>

#include <atomic>
#include <mutex>

class TESettings;

/**
 * @short The "Test Connection" worker: connects, authenticates when the
 * settings ask for it, disconnects, and leaves a result text for the user.
 *
 * Read Success and ResultText once Terminated() is true.
 */
class TConnectionThread {
public:
    TConnectionThread() = default;
    /** Waits for the run to end. */
    ~TConnectionThread() = default;
    TConnectionThread(const TConnectionThread &) = delete;
    TConnectionThread &operator=(const TConnectionThread &) = delete;

    /** Gives the thread its settings (read directly, not owned). */
    void Setup(const TESettings &settings);
    /** Starts the test, once, at below-normal priority. */
    void Start();

    bool Terminated() const { return m_terminated.load(); }
    /** The text to show: in an information box on success, else in an error box. */
    QString ResultText() const;

    /** Test hook: how the session is made (the network library by default). */
    void SetSessionFactory(SmtpSessionFactory factory) { m_sessionFactory = std::move(factory); }

    const TESettings *Settings = nullptr;
    /** The test succeeded. */
    std::atomic<bool> Success{false};

private:
    void Run();
    void SetResultText(const QString &text);

    mutable std::mutex m_resultMutex;
    QString m_resultText;
    std::atomic<bool> m_terminated{false};
    SmtpSessionFactory m_sessionFactory = CreateSmtpSession;
    LowPriorityThread m_thread; // last: joined before the fields above go
};
