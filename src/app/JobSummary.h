#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>

// The rows of the job summary, without the dialog.

/** How a sending job ended, as the summary tells it. */
enum JobOutcome : std::uint8_t {
    joAllSent = 0,     // sent to somebody, and nobody of the list has failed
    joNeedsResend = 1, // sent to somebody, and the list holds failed recipients
    joNotSent = 2,     // sent to nobody
};

/** First line of the verdict, by outcome. */
inline constexpr std::array<QStringView, 3> OutcomeTexts = {u"Message successfully sent", u"Message needs to be resent",
                                                            u"Message could not be sent."};
/** Second line of the verdict, by outcome. */
inline constexpr std::array<QStringView, 3> OutcomeDetails = {u"to all destinations.", u"to some destinations.", u""};
/** Icon of the verdict, by outcome: 1 sent, 3 attention, 2 failed. */
inline constexpr std::array<int, 3> OutcomeImages = {1, 3, 2};

/** @short The counters a summary shows: the job's and the whole list's. */
struct TSummaryCounts {
    QDateTime StartTime;
    /** When the summary is built. */
    QDateTime EndTime;
    bool BatchMode = false;
    /** Recipients this job sent to and failed (a BCC e-mail counts its whole group). */
    int JobSent = 0;
    int JobFailed = 0;
    /** Recipients of the list per status after the job. */
    int ListNotSent = 0;
    int ListSent = 0;
    int ListFailed = 0;
};

/** @short One row of the summary: its texts (columns 1 and 2) and the icon of the first, -1 for none. */
struct TSummaryRow {
    QStringList SubItems;
    int Icon = -1;

    bool operator==(const TSummaryRow &) const = default;
};

/** The outcome: nothing sent in this job; else failures anywhere in the list; else all sent. */
JobOutcome ComputeJobOutcome(int jobSent, int listFailed);

/** A time in the locale's long time format with any time-zone part left out; empty for an invalid time. */
QString SummaryTimeText(const QDateTime &time, const QLocale &locale);

/** The 14 rows of the summary: times, this job's counts, the list's totals and the verdict. */
QList<TSummaryRow> SummaryRows(const TSummaryCounts &counts, const QLocale &locale);
