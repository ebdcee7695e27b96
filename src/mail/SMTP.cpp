#include "SMTP.h"

#include "AppError.h"
#include "SmtpSetup.h"
#include "TESettings.h"
#include "TMEMessage.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

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
    Finish();
}

void TSMTPThread::Hand(const TEmailMessage &message)
{
    Signal([&] { m_pending = &message; });
}

bool TSMTPThread::IsBusy() const
{
    return State.load() == SmtpThreadState::Sending || m_pending.load() != nullptr;
}

void TSMTPThread::Run()
{
    State = SmtpThreadState::Connecting;
    std::unique_ptr<SmtpSession> session;
    std::optional<Failure> failure;
    try {
        session = NewSession();
        session->Connect();
        if (WantsAuthentication()) {
            State = SmtpThreadState::Authenticating;
            session->Authenticate();
        }
        State = SmtpThreadState::Idle;
        ServeHandOvers(*session);
    } catch (const SmtpError &e) {
        failure = FatalFailure(State, e.Message());
    } catch (const std::exception &e) {
        failure = FatalFailure(State, QString::fromUtf8(e.what()));
    }
    // The job learns of a fatal error before the close.
    if (failure) {
        SetText(failure->Text);
        State = failure->State;
        // A send broken off by a lost connection still ends its hand-over.
        m_pending = nullptr;
    }
    CloseSession(session, failure.has_value());
}

void TSMTPThread::ServeHandOvers(SmtpSession &session)
{
    for (;;) {
        WaitUntil([this] { return m_pending.load() != nullptr; });
        // A stop wins over a message not yet taken; one being sent is never broken off.
        if (StopRequested())
            return;
        State = SmtpThreadState::Sending;
        SendPending(session, *m_pending.load());
        m_pending = nullptr; // the last write of a hand-over
    }
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
        SetText(QString::fromUtf8(e.what()));
        State = SmtpThreadState::SendFailed;
        return;
    }
    try {
        session.Send(from, recipients, data);
        State = SmtpThreadState::Sent;
    } catch (const SmtpError &e) {
        if (e.ErrorKind() != SmtpError::Refused)
            throw;
        SetText(e.Message());
        State = SmtpThreadState::SendFailed;
    }
}
