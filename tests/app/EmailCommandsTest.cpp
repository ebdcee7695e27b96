#include "EmailCommands.h"

#include "JobMode.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Everything there: settings, recipients of every status, a current one, HTML.
TEmailCommandState Ready()
{
    return {.RequiredSet = true, .NotSent = 3, .Sent = 2, .Failed = 1, .HasCurrentItem = true, .IsHtml = true};
}

constexpr CommandSet AlwaysOn{20, 21, 22, 24, 25, 26};

} // namespace

TEST(EmailCommandsTest, ReadyJobEnablesEverythingButStop)
{
    EXPECT_EQ(EnabledEmailCommands(Ready()), CommandSet({14, 15, 16, 18, 19}) + AlwaysOn);
}

TEST(EmailCommandsTest, MissingRequiredSettingDisablesOnlyTheSendCommands)
{
    TEmailCommandState state = Ready();
    state.RequiredSet = false;
    EXPECT_EQ(EnabledEmailCommands(state), CommandSet({18, 19}) + AlwaysOn);
}

TEST(EmailCommandsTest, EachSendCommandFollowsItsOwnCondition)
{
    TEmailCommandState state = Ready();
    state.NotSent = 0;
    EXPECT_FALSE(EnabledEmailCommands(state).Contains(14));
    EXPECT_TRUE(EnabledEmailCommands(state).Contains(15));
    EXPECT_TRUE(EnabledEmailCommands(state).Contains(16));

    state = Ready();
    state.HasCurrentItem = false;
    EXPECT_EQ(EnabledEmailCommands(state), CommandSet({14, 16, 18, 19}) + AlwaysOn);

    state = Ready();
    state.Failed = 0;
    EXPECT_EQ(EnabledEmailCommands(state), CommandSet({14, 15, 18, 19}) + AlwaysOn);
}

TEST(EmailCommandsTest, PreviewAndLogDoNotNeedTheSettings)
{
    // An empty list with nothing set up: only an HTML message enables the preview.
    EXPECT_EQ(EnabledEmailCommands({.IsHtml = true}), CommandSet({18}) + AlwaysOn);
    EXPECT_EQ(EnabledEmailCommands({}), AlwaysOn);
    // The log needs a result, sent or failed.
    EXPECT_TRUE(EnabledEmailCommands({.Sent = 1}).Contains(19));
    EXPECT_TRUE(EnabledEmailCommands({.Failed = 1}).Contains(19));
    EXPECT_FALSE(EnabledEmailCommands({.NotSent = 5}).Contains(19));
}

TEST(EmailCommandsTest, JobModesLeaveOnlyStopOrNothing)
{
    for (const JobMode mode : {JobMode::SendAll, JobMode::SendSelected, JobMode::ResendFailed})
        EXPECT_EQ(JobModeEmailCommands(mode), CommandSet{17}) << int(mode);
    EXPECT_TRUE(JobModeEmailCommands(JobMode::TestConnection).IsEmpty());
    // Stop is never offered while no job runs.
    EXPECT_FALSE(EnabledEmailCommands(Ready()).Contains(17));
}

TEST(EmailCommandsTest, SendCaptionFollowsBatchMode)
{
    EXPECT_EQ(SendCommandCaption(true), u"Send Next Batch"_s);
    EXPECT_EQ(SendCommandCaption(false), CommandCaptions[14]);
}
