#include "SMTP.h"

#include "AppError.h"
#include "SmtpSetup.h"
#include "TESettings.h"
#include "TMEMessage.h"

#include <chrono>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr std::chrono::milliseconds PollInterval{10};

struct Failure {
    SmtpThreadState State;
    QString Text;
};

// The fatal state and its text by where the session stood when the error came.
Failure FatalFailure(SmtpThreadState at, const QString &message)
{
    SmtpThreadState state = SmtpThreadState::UnexpectedError;
    QString text = u"Unexpected Error."_s;
    if (at == SmtpThreadState::Connecting) {
        state = SmtpThreadState::ConnectionError;
        text = u"Connection Error."_s;
    } else if (at == SmtpThreadState::Authenticating) {
        state = SmtpThreadState::AuthenticationError;
        text = u"Authentication Error."_s;
    }
    return {state, text + u"\r\n\r\nError Message: "_s + message};
}

} // namespace

TSMTPThread::~TSMTPThread()
{
    StopFlag = true;
}

void TSMTPThread::Setup(const TESettings &settings)
{
    Settings = &settings;
}

void TSMTPThread::Start()
{
    m_thread.Start([this] { Run(); });
}

bool TSMTPThread::IsBusy() const
{
    return State.load() == SmtpThreadState::Sending || Pending.load() != nullptr;
}

QString TSMTPThread::ErrorText() const
{
    const std::lock_guard lock(m_errorMutex);
    return m_errorText;
}

void TSMTPThread::SetErrorText(const QString &text)
{
    const std::lock_guard lock(m_errorMutex);
    m_errorText = text;
}

void TSMTPThread::Run()
{
    State = SmtpThreadState::Connecting;
    std::unique_ptr<SmtpSession> session;
    std::optional<Failure> failure;
    try {
        session = m_sessionFactory(ConfigureSmtp(*Settings));
        session->Connect();
        if (Settings->Param(spSmtpAuth).GetBool()) {
            State = SmtpThreadState::Authenticating;
            session->Authenticate();
        }
        State = SmtpThreadState::Idle;
        while (!StopFlag) {
            if (const TEmailMessage *em = Pending.load()) {
                State = SmtpThreadState::Sending;
                SendPending(*session, *em);
                Pending = nullptr; // the last write of a hand-over
            }
            std::this_thread::sleep_for(PollInterval);
        }
    } catch (const SmtpError &e) {
        failure = FatalFailure(State, e.Message());
    } catch (const std::exception &e) {
        failure = FatalFailure(State, QString::fromUtf8(e.what()));
    }
    if (session)
        session->Disconnect();
    session.reset();
    if (failure) {
        SetErrorText(failure->Text);
        State = failure->State;
        // A send broken off by a lost connection still ends its hand-over.
        Pending = nullptr;
    }
    m_terminated = true;
}

void TSMTPThread::SendPending(SmtpSession &session, const TEmailMessage &em)
{
    QByteArray data;
    QString from;
    QStringList recipients;
    try {
        TMEMessage msg;
        msg.AssignMimeOptions(em);
        BuildMessage(msg, em, *Settings);
        AddSendOptions(msg, *Settings);
        data = msg.Compose();
        from = msg.SenderAddress();
        recipients = msg.RecipientAddresses();
        if (recipients.isEmpty())
            throw AppError(u"The e-mail has no recipient address."_s);
    } catch (const std::exception &e) {
        // This recipient's failure (an attachment gone unreadable, say); the
        // session goes on.
        SetErrorText(QString::fromUtf8(e.what()));
        State = SmtpThreadState::SendFailed;
        return;
    }
    try {
        session.Send(from, recipients, data);
        State = SmtpThreadState::Sent;
    } catch (const SmtpError &e) {
        if (e.ErrorKind() != SmtpError::Refused)
            throw;
        SetErrorText(e.Message());
        State = SmtpThreadState::SendFailed;
    }
}
