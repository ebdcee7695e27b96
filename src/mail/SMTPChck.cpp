#include "SMTPChck.h"

#include "SmtpSetup.h"
#include "TESettings.h"

using namespace Qt::StringLiterals;

void TConnectionThread::Setup(const TESettings &settings)
{
    Settings = &settings;
}

void TConnectionThread::Start()
{
    m_thread.Start([this] { Run(); });
}

QString TConnectionThread::ResultText() const
{
    const std::lock_guard lock(m_resultMutex);
    return m_resultText;
}

void TConnectionThread::SetResultText(const QString &text)
{
    const std::lock_guard lock(m_resultMutex);
    m_resultText = text;
}

void TConnectionThread::Run()
{
    Success = false;
    QString text = u"Connection could not be established.\r\nPlease verify the settings and try again."_s;
    std::unique_ptr<SmtpSession> session;
    try {
        session = m_sessionFactory(ConfigureSmtp(*Settings));
        session->Connect();
        if (Settings->Param(spSmtpAuth).GetBool()) {
            text = u"Authentication failed.\r\nPlease verify the settings and try again."_s;
            session->Authenticate();
            text = u"Connection and authentication successfully verified!"_s;
        } else {
            text = u"Connection successfully verified!"_s;
        }
        Success = true;
    } catch (const SmtpError &e) {
        text += u"\r\n\r\nError: "_s + e.Message();
    } catch (const std::exception &e) {
        text += u"\r\n\r\nError: "_s + QString::fromUtf8(e.what());
    }
    if (session)
        session->Disconnect();
    session.reset();
    SetResultText(text);
    m_terminated = true;
}
