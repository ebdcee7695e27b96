#pragma once

#include <QString>

#include <cstdint>
#include <iosfwd>

/**
 * A recipient's result. The numbers are the ones the job-list file stores;
 * -1 only marks the placeholder row of an empty list.
 */
enum class RecipientStatus : std::int8_t {
    Placeholder = -1,
    NotSent = 0,
    Sent = 1,
    Failed = 2,
};

/** How many statuses a row can hold (not sent, sent, failed): the size of per-status tables. */
inline constexpr int RowStatusCount = 3;

/** The status as its number: its value in the job-list file and its index in per-status tables. */
constexpr int ToInt(RecipientStatus status)
{
    return static_cast<int>(status);
}

/** Whether the status is one a row holds (not the placeholder). */
constexpr bool IsRowStatus(RecipientStatus status)
{
    return ToInt(status) >= 0 && ToInt(status) < RowStatusCount;
}

/** A row status from a number read from a file: the nearest of not sent, sent and failed. */
constexpr RecipientStatus RowStatusFromInt(int number)
{
    return number <= 0 ? RecipientStatus::NotSent : number == 1 ? RecipientStatus::Sent : RecipientStatus::Failed;
}

/** The status in words ("sent"), for messages and test output. */
QString ToString(RecipientStatus status);
/** Prints the status in words in test output. */
void PrintTo(RecipientStatus status, std::ostream *os);
