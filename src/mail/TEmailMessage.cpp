#include "TEmailMessage.h"

int TEmailMessage::RecipientCount() const
{
    return Bcc.isEmpty() ? 1 : static_cast<int>(Bcc.size());
}
