#include "SmtpWorkerThread.h"

#include "SmtpSetup.h"
#include "TESettings.h"

#include <cassert>

SmtpWorkerThread::~SmtpWorkerThread()
{
    // The derived destructor has ended the run: Run() is gone with its class.
    assert(!m_thread.Joinable());
}

void SmtpWorkerThread::Setup(const TESettings &settings)
{
    Settings = &settings;
}

void SmtpWorkerThread::Start()
{
    m_thread.Start([this] {
        Run();
        m_terminated = true;
    });
}

void SmtpWorkerThread::RequestStop()
{
    Signal([this] { m_stop = true; });
}

void SmtpWorkerThread::Finish()
{
    RequestStop();
    m_thread.Join();
}

std::unique_ptr<SmtpSession> SmtpWorkerThread::NewSession() const
{
    return m_sessionFactory(ConfigureSmtp(*Settings));
}

bool SmtpWorkerThread::WantsAuthentication() const
{
    return Settings->Param(spSmtpAuth).GetBool();
}

void SmtpWorkerThread::CloseSession(std::unique_ptr<SmtpSession> &session, bool failed)
{
    if (session && failed)
        session->Abort();
    else if (session)
        session->Disconnect();
    session.reset();
}

QString SmtpWorkerThread::Text() const
{
    const std::lock_guard lock(m_mutex);
    return m_text;
}

void SmtpWorkerThread::SetText(const QString &text)
{
    const std::lock_guard lock(m_mutex);
    m_text = text;
}
