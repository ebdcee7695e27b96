#include "TJobInfo.h"

#include <gtest/gtest.h>

TEST(TJobInfoTest, CountsRecipientsPerStatus)
{
    TJobInfo job;
    job.Add(RecipientStatus::Sent, 3);
    job.Reset();
    job.Add(RecipientStatus::Sent, 5);
    job.Add(RecipientStatus::Failed, 1);
    EXPECT_EQ(job.ProcessedCount(), 6);
    EXPECT_EQ(job.Count(RecipientStatus::NotSent), 0);
    EXPECT_EQ(job.Count(RecipientStatus::Sent), 5);
    EXPECT_EQ(job.Count(RecipientStatus::Failed), 1);
    job.Reset();
    EXPECT_EQ(job.ProcessedCount(), 0);
}
