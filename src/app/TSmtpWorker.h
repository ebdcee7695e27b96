#pragma once

#include "ISmtpWorker.h"
#include "SMTP.h"
#include "TEmailMessage.h"

#include <memory>

class TESettings;

/**
 * @short A sending job's connection in a TSMTPThread.
 *
 * Each hand-over gives the thread a copy of its own, kept here until the
 * thread has let go of it: nothing the window touches is shared.
 */
class TSmtpWorker final : public ISmtpWorker {
public:
    explicit TSmtpWorker(const TESettings &settings);
    ~TSmtpWorker() override;
    TSmtpWorker(const TSmtpWorker &) = delete;
    TSmtpWorker &operator=(const TSmtpWorker &) = delete;

    void Start() override;
    SmtpThreadState State() const override;
    QString ErrorText() const override;
    bool IsBusy() const override;
    void Hand(const TEmailMessage &message) override;
    void RequestDisconnect() override;
    bool Terminated() const override;
    void Stop() override;

private:
    // Declared before the thread: it outlives the thread's run.
    std::unique_ptr<TEmailMessage> m_handed;
    std::unique_ptr<TSMTPThread> m_thread;
};
