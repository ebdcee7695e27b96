#include "TSmtpWorker.h"

TSmtpWorker::TSmtpWorker(const TESettings &settings)
    : m_thread(std::make_unique<TSMTPThread>())
{
    m_thread->Setup(settings);
}

TSmtpWorker::~TSmtpWorker()
{
    // The thread's destructor waits for its run; only then may the copy go.
    m_thread.reset();
}

void TSmtpWorker::Start()
{
    m_thread->Start();
}

SmtpThreadState TSmtpWorker::State() const
{
    return m_thread->State.load();
}

QString TSmtpWorker::ErrorText() const
{
    return m_thread->ErrorText();
}

bool TSmtpWorker::IsBusy() const
{
    return m_thread->IsBusy();
}

void TSmtpWorker::Hand(const TEmailMessage &message)
{
    // The last copy is no longer read: the thread cleared Pending (not busy).
    m_handed = std::make_unique<TEmailMessage>(message);
    m_thread->Hand(*m_handed);
}

void TSmtpWorker::RequestDisconnect()
{
    m_thread->RequestStop();
}

bool TSmtpWorker::Terminated() const
{
    return m_thread->Terminated();
}

void TSmtpWorker::Stop()
{
    m_thread->RequestStop();
}
