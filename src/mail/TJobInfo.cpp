#include "TJobInfo.h"

#include <cassert>

int TJobInfo::Count(RecipientStatus status) const
{
    assert(IsRowStatus(status));
    return Counts[static_cast<std::size_t>(ToInt(status))];
}

void TJobInfo::Reset()
{
    Counts.fill(0);
}

void TJobInfo::Add(RecipientStatus status, int n)
{
    assert(IsRowStatus(status));
    Counts[static_cast<std::size_t>(ToInt(status))] += n;
}

int TJobInfo::ProcessedCount() const
{
    return Count(RecipientStatus::Sent) + Count(RecipientStatus::Failed);
}
