#include "TJobInfo.h"

#include <cassert>

int TJobInfo::Count(int status) const
{
    assert(status >= 0 && status < static_cast<int>(Counts.size()));
    return Counts[static_cast<std::size_t>(status)];
}

void TJobInfo::Reset()
{
    Counts.fill(0);
}

void TJobInfo::Add(int status, int n)
{
    assert(status >= 0 && status < static_cast<int>(Counts.size()));
    Counts[static_cast<std::size_t>(status)] += n;
}

int TJobInfo::ProcessedCount() const
{
    return Counts[1] + Counts[2];
}
