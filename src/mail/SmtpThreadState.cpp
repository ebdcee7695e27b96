#include "SmtpThreadState.h"

#include <ostream>

using namespace Qt::StringLiterals;

QString ToString(SmtpThreadState state)
{
    switch (state) {
    case SmtpThreadState::Connecting:
        return u"connecting"_s;
    case SmtpThreadState::ConnectionError:
        return u"connection error"_s;
    case SmtpThreadState::Authenticating:
        return u"authenticating"_s;
    case SmtpThreadState::AuthenticationError:
        return u"authentication error"_s;
    case SmtpThreadState::Idle:
        return u"idle"_s;
    case SmtpThreadState::Sending:
        return u"sending"_s;
    case SmtpThreadState::Sent:
        return u"sent"_s;
    case SmtpThreadState::SendFailed:
        return u"send failed"_s;
    case SmtpThreadState::UnexpectedError:
        return u"unexpected error"_s;
    }
    return u"state %1"_s.arg(int(state));
}

void PrintTo(SmtpThreadState state, std::ostream *os)
{
    *os << ToString(state).toStdString();
}
