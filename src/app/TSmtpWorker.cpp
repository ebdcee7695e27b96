#include "TSmtpWorker.h"

#include <cassert>
#include <stdexcept>

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
    // Only when not busy is the last copy no longer read (the thread cleared
    // Pending): replacing it earlier would free it under the thread.
    assert(!IsBusy() && "a hand-over while the worker is busy");
    if (IsBusy())
        throw std::logic_error("An e-mail was handed over while the previous one was still being sent.");
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
    RequestDisconnect();
}
