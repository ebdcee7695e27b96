#include "RecipientStatus.h"

#include <ostream>

using namespace Qt::StringLiterals;

QString ToString(RecipientStatus status)
{
    switch (status) {
    case RecipientStatus::Placeholder:
        return u"placeholder"_s;
    case RecipientStatus::NotSent:
        return u"not sent"_s;
    case RecipientStatus::Sent:
        return u"sent"_s;
    case RecipientStatus::Failed:
        return u"failed"_s;
    }
    return u"status %1"_s.arg(ToInt(status));
}

void PrintTo(RecipientStatus status, std::ostream *os)
{
    *os << ToString(status).toStdString();
}
