#include "TJobInfo.h"

#include <gtest/gtest.h>

TEST(TJobInfoTest, CountsRecipientsPerStatus)
{
    TJobInfo job;
    job.Add(1, 3);
    job.Reset();
    job.Add(1, 5);
    job.Add(2, 1);
    EXPECT_EQ(job.ProcessedCount(), 6);
    EXPECT_EQ(job.Count(0), 0);
    EXPECT_EQ(job.Count(1), 5);
    EXPECT_EQ(job.Count(2), 1);
    job.Reset();
    EXPECT_EQ(job.ProcessedCount(), 0);
}
