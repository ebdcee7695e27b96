#include "JobSummary.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QLocale C = QLocale::c();

TSummaryCounts Counts(int jobSent, int jobFailed, int listNotSent, int listSent, int listFailed)
{
    TSummaryCounts counts;
    counts.StartTime = QDateTime(QDate(2024, 3, 1), QTime(9, 4, 7), QTimeZone::utc());
    counts.EndTime = QDateTime(QDate(2024, 3, 1), QTime(17, 45, 59), QTimeZone::utc());
    counts.JobSent = jobSent;
    counts.JobFailed = jobFailed;
    counts.ListNotSent = listNotSent;
    counts.ListSent = listSent;
    counts.ListFailed = listFailed;
    return counts;
}

TSummaryRow Row(const QStringList &subItems, int icon = -1)
{
    return {subItems, icon};
}

} // namespace

TEST(JobSummaryTest, VerdictLooksAtThisJobsSentAndTheWholeListsFailures)
{
    EXPECT_EQ(ComputeJobOutcome(5, 0), joAllSent);
    // Every recipient of this job was sent to, but earlier failures remain in the list.
    EXPECT_EQ(ComputeJobOutcome(5, 2), joNeedsResend);
    EXPECT_EQ(ComputeJobOutcome(0, 0), joNotSent);
    EXPECT_EQ(ComputeJobOutcome(0, 7), joNotSent);
}

TEST(JobSummaryTest, AllSentRowsCarryCountsAndTheSentVerdict)
{
    // A BCC job of one e-mail to 20 recipients counts 20.
    const QList<TSummaryRow> rows = SummaryRows(Counts(20, 0, 3, 25, 0), C);
    const QList<TSummaryRow> expected{
        Row({u"Start Time"_s, u"09:04:07"_s}),
        Row({u"End Time"_s, u"17:45:59"_s}),
        Row({}),
        Row({u"Current Session:"_s}),
        Row({u"Sent"_s, u"20"_s}, 1),
        Row({u"Failures"_s, u"0"_s}, 2),
        Row({}),
        Row({u"Totals:"_s}),
        Row({u"Sent"_s, u"25"_s}, 1),
        Row({u"Failures"_s, u"0"_s}, 2),
        Row({u"Remaining"_s, u"3"_s}, 0),
        Row({}),
        Row({u"Status:"_s, u"Message successfully sent"_s}, 1),
        Row({QString(), u"to all destinations."_s}),
    };
    ASSERT_EQ(rows.size(), 14);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].SubItems, expected[i].SubItems) << "row " << i + 1;
        EXPECT_EQ(rows[i].Icon, expected[i].Icon) << "row " << i + 1;
    }
}

TEST(JobSummaryTest, VerdictRowsForResendAndNothingSent)
{
    const QList<TSummaryRow> resend = SummaryRows(Counts(4, 0, 0, 10, 2), C);
    EXPECT_EQ(resend[12], Row({u"Status:"_s, u"Message needs to be resent"_s}, 3));
    EXPECT_EQ(resend[13], Row({QString(), u"to some destinations."_s}));
    EXPECT_EQ(resend[9], Row({u"Failures"_s, u"2"_s}, 2));

    const QList<TSummaryRow> none = SummaryRows(Counts(0, 6, 0, 0, 6), C);
    EXPECT_EQ(none[12], Row({u"Status:"_s, u"Message could not be sent."_s}, 2));
    EXPECT_EQ(none[13], Row({QString(), QString()}));
    EXPECT_EQ(none[5], Row({u"Failures"_s, u"6"_s}, 2));
}

TEST(JobSummaryTest, BatchModeNamesTheBatch)
{
    TSummaryCounts counts = Counts(1, 0, 0, 1, 0);
    counts.BatchMode = true;
    EXPECT_EQ(SummaryRows(counts, C)[3], Row({u"Current Batch:"_s}));
}

TEST(JobSummaryTest, TimesNeverShowAZoneName)
{
    const QDateTime utc(QDate(2024, 3, 1), QTime(17, 45, 59), QTimeZone::utc());
    const QDateTime london(QDate(2024, 1, 15), QTime(9, 4, 7), QTimeZone("Europe/London"));
    // Long formats of these locales carry a zone ("t"); none of it is left.
    for (const QLocale &locale :
         {C, QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany),
          QLocale(QLocale::English, QLocale::UnitedKingdom)}) {
        ASSERT_TRUE(locale.timeFormat(QLocale::LongFormat).contains(u't')) << locale.name().toStdString();
        for (const QDateTime &time : {utc, london}) {
            const QString text = SummaryTimeText(time, locale);
            EXPECT_FALSE(text.contains(u"UTC"_s) || text.contains(u"GMT"_s)) << text.toStdString();
            EXPECT_EQ(text, text.trimmed());
            EXPECT_TRUE(text.contains(time.time().minute() == 45 ? u"45:59"_s : u"04:07"_s)) << text.toStdString();
        }
    }
    EXPECT_EQ(SummaryTimeText(utc, C), u"17:45:59"_s);
    EXPECT_EQ(SummaryTimeText(QDateTime(), C), QString());
}
