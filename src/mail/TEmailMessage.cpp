#include "TEmailMessage.h"

#include "EmailAddress.h"

#include <algorithm>

int TEmailMessage::RecipientCount() const
{
    return Bcc.isEmpty() ? 1 : static_cast<int>(Bcc.size());
}

int TEmailMessage::InvalidBccCount() const
{
    return static_cast<int>(std::count_if(
        Bcc.cbegin(), Bcc.cend(), [](const TEmailAddressItem &item) { return !IsValidEmailAddress(item.Address); }));
}
