#pragma once

#include "RecipientStatus.h"

#include <QDateTime>

#include <array>

/**
 * @short Counts the recipients a job sent and failed, with its start time and batch mode.
 */
struct TJobInfo {
    /** Recipients per status in the running or last job, by ToInt(status); not sent is never added to. */
    std::array<int, RowStatusCount> Counts = {0, 0, 0};
    QDateTime StartTime;
    /** Copy of the setting BatchMode at job start. */
    bool BatchMode = false;

    int Count(RecipientStatus status) const;
    /** All three counters to 0. */
    void Reset();
    void Add(RecipientStatus status, int n);
    /** Sent plus failed. */
    int ProcessedCount() const;
};
