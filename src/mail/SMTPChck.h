#pragma once

#include "SmtpWorkerThread.h"

#include <QString>

#include <atomic>

/**
 * @short The "Test Connection" worker: connects, authenticates when the
 * settings ask for it, disconnects, and leaves a result text for the user.
 *
 * Read Success and ResultText once Terminated() is true.
 */
class TConnectionThread final : public SmtpWorkerThread {
public:
    TConnectionThread() = default;
    /** Waits for the run to end. */
    ~TConnectionThread() override;

    /** The text to show: in an information box on success, else in an error box. */
    QString ResultText() const { return Text(); }

    /** The test succeeded. */
    std::atomic<bool> Success{false};

private:
    void Run() override;
};
