#pragma once

#include <QDateTime>

#include <array>

/**
 * @short Counts the recipients a job sent and failed, with its start time and batch mode.
 *
 * Statuses are the recipient statuses of the mailing list: 0 not sent, 1 sent, 2 failed.
 */
struct TJobInfo {
    /** Recipients per status in the running or last job; [0] is never added to. */
    std::array<int, 3> Counts = {0, 0, 0};
    QDateTime StartTime;
    /** Copy of the setting BatchMode at job start. */
    bool BatchMode = false;

    int Count(int status) const;
    /** All three counters to 0. */
    void Reset();
    void Add(int status, int n);
    /** Sent plus failed. */
    int ProcessedCount() const;
};
