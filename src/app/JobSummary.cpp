#include "JobSummary.h"

#include "TextHelpers.h"

using namespace Qt::StringLiterals;

namespace {

QString Count(int n)
{
    return QString::number(n);
}

} // namespace

JobOutcome ComputeJobOutcome(int jobSent, int listFailed)
{
    if (jobSent < 1)
        return joNotSent;
    return listFailed > 0 ? joNeedsResend : joAllSent;
}

QString SummaryTimeText(const QDateTime &time, const QLocale &locale)
{
    if (!time.isValid())
        return {};
    return locale.toString(time.time(), LongTimeFormatWithoutZone(locale));
}

QList<TSummaryRow> SummaryRows(const TSummaryCounts &counts, const QLocale &locale)
{
    const JobOutcome outcome = ComputeJobOutcome(counts.JobSent, counts.ListFailed);
    return {
        {{u"Start Time"_s, SummaryTimeText(counts.StartTime, locale)}, -1},
        {{u"End Time"_s, SummaryTimeText(counts.EndTime, locale)}, -1},
        {{}, -1},
        {{counts.BatchMode ? u"Current Batch:"_s : u"Current Session:"_s}, -1},
        {{u"Sent"_s, Count(counts.JobSent)}, 1},
        {{u"Failures"_s, Count(counts.JobFailed)}, 2},
        {{}, -1},
        {{u"Totals:"_s}, -1},
        {{u"Sent"_s, Count(counts.ListSent)}, 1},
        {{u"Failures"_s, Count(counts.ListFailed)}, 2},
        {{u"Remaining"_s, Count(counts.ListNotSent)}, 0},
        {{}, -1},
        {{u"Status:"_s, OutcomeTexts[outcome].toString()}, OutcomeImages[outcome]},
        {{QString(), OutcomeDetails[outcome].toString()}, -1},
    };
}
