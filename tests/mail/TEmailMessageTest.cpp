#include "TEmailMessage.h"

#include <gtest/gtest.h>

#include <type_traits>

using namespace Qt::StringLiterals;

// The job hands the sending thread its own copy.
static_assert(std::is_copy_constructible_v<TEmailMessage> && std::is_copy_assignable_v<TEmailMessage>);

TEST(TEmailMessageTest, RecipientCountIsOneWithoutABccGroup)
{
    TEmailMessage message;
    message.To = {u"ann@example.com"_s, u"Ann"_s};
    EXPECT_EQ(message.RecipientCount(), 1);
    for (int i = 0; i < 100; ++i)
        message.Bcc.append({u"r%1@example.com"_s.arg(i), QString()});
    EXPECT_EQ(message.RecipientCount(), 100);
}
