#include "JobMode.h"

#include <ostream>

using namespace Qt::StringLiterals;

QString ToString(JobMode mode)
{
    switch (mode) {
    case JobMode::Idle:
        return u"idle"_s;
    case JobMode::SendAll:
        return u"send all remaining"_s;
    case JobMode::SendSelected:
        return u"send selected"_s;
    case JobMode::ResendFailed:
        return u"resend failed"_s;
    case JobMode::TestConnection:
        return u"test connection"_s;
    }
    return u"mode %1"_s.arg(int(mode));
}

void PrintTo(JobMode mode, std::ostream *os)
{
    *os << ToString(mode).toStdString();
}
