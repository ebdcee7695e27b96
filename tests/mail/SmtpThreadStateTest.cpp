#include "SmtpThreadState.h"

#include <gtest/gtest.h>

// Every state once: which end the session, which take a hand-over, how they print.
TEST(SmtpThreadStateTest, FatalAndReadyStates)
{
    using S = SmtpThreadState;
    const S all[] = {S::Connecting, S::ConnectionError, S::Authenticating, S::AuthenticationError, S::Idle, S::Sending,
                     S::Sent,       S::SendFailed,      S::UnexpectedError};
    std::vector<int> fatal;
    std::vector<int> ready;
    for (const S s : all) {
        if (IsFatalState(s))
            fatal.push_back(int(s));
        if (IsReadyState(s))
            ready.push_back(int(s));
        EXPECT_FALSE(ToString(s).isEmpty());
    }
    EXPECT_EQ(fatal, (std::vector<int>{1, 3, 10}));
    EXPECT_EQ(ready, (std::vector<int>{4, 6, 7}));
    EXPECT_EQ(testing::PrintToString(S::AuthenticationError), "authentication error");
}
