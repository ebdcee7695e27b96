#include "TRecipient.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TRecipientTest, ValuesAreAddressThenParameters)
{
    const TRecipient r{RecipientStatus::NotSent, u"a@b.c"_s, {u"Ann"_s, u"Lee"_s}, u"Not yet sent"_s};
    EXPECT_EQ(r.Value(0), u"a@b.c"_s);
    EXPECT_EQ(r.Value(2), u"Lee"_s);
    EXPECT_TRUE(r.Value(3).isEmpty());
    EXPECT_TRUE(r.Value(-1).isEmpty());
    EXPECT_EQ(r.Values(), QStringList({u"a@b.c"_s, u"Ann"_s, u"Lee"_s}));
}

TEST(TRecipientTest, CleanFieldKeepsTheFileColumnsIntact)
{
    EXPECT_EQ(CleanField(u"  a|b@c.d \t"), u"a/b@c.d"_s);
    EXPECT_EQ(CleanField(u"one\r\ntwo"), u"one  two"_s);
    EXPECT_EQ(CleanField(u"| x |"), u"/ x /"_s);
}

TEST(TRecipientTest, ErrorTextBecomesOneLine)
{
    EXPECT_EQ(ResultStatusText(RecipientStatus::Failed, u"550 No such user\r\nMailbox unavailable\r\n"_s),
              u"Error: 550 No such user, Mailbox unavailable"_s);
    // A "|" would add a column to the job-list file.
    EXPECT_EQ(ResultStatusText(RecipientStatus::Failed, u" a|b "_s), u"Error: a/b"_s);
    EXPECT_EQ(ResultStatusText(RecipientStatus::NotSent, u"ignored"_s), u"Not yet sent"_s);
}

TEST(TRecipientTest, SentTextCarriesDateAndTimeButNoTimeAtMidnight)
{
    const QDate day(2024, 3, 9);
    const QString date = QLocale().toString(day, QLocale::ShortFormat);
    const QString midnight = ResultStatusText(RecipientStatus::Sent, {}, QDateTime(day, QTime(0, 0)));
    EXPECT_EQ(midnight, u"Sent on "_s + date);

    const QString afternoon = ResultStatusText(RecipientStatus::Sent, {}, QDateTime(day, QTime(14, 5, 7)));
    EXPECT_TRUE(afternoon.startsWith(u"Sent on "_s + date + u' '));
    EXPECT_TRUE(afternoon.contains(u"05"_s));
    EXPECT_TRUE(afternoon.contains(u"07"_s));
}

// The numbers are the job-list file's; test output names the status in words.
TEST(TRecipientTest, StatusesKeepTheirFileNumbers)
{
    EXPECT_EQ(ToInt(RecipientStatus::Placeholder), -1);
    EXPECT_EQ(ToInt(RecipientStatus::NotSent), 0);
    EXPECT_EQ(ToInt(RecipientStatus::Sent), 1);
    EXPECT_EQ(ToInt(RecipientStatus::Failed), 2);
    EXPECT_FALSE(IsRowStatus(RecipientStatus::Placeholder));
    EXPECT_EQ(RowStatusFromInt(7), RecipientStatus::Failed);
    EXPECT_EQ(RowStatusFromInt(-3), RecipientStatus::NotSent);
    EXPECT_EQ(testing::PrintToString(RecipientStatus::Failed), "failed");
    EXPECT_EQ(StatusTextStart(RecipientStatus::Sent), u"Sent on ");
}
