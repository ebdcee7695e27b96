#include "JobListFile.h"

#include "AppError.h"
#include "TempDataFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(JobListFileTest, SplitLinesTakesEveryLineBreak)
{
    EXPECT_EQ(SplitLines(u"a\r\nb\rc\nd\r\n"_s), QStringList({u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
    EXPECT_EQ(SplitLines(u"a\n\nb"_s), QStringList({u"a"_s, QString(), u"b"_s}));
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
}

TEST(JobListFileTest, ParameterCountComesFromTheFirstLine)
{
    const TJobList list = ParseJobList({u"0|a@x.org|p1|p2|p3|p4|Not yet sent"_s, u"1|b@x.org|q1|Sent on 1.2.2024"_s});
    EXPECT_EQ(list.ParamColumns, 4);
    ASSERT_EQ(list.Rows.size(), 2u);
    EXPECT_EQ(list.Rows[0].Params, QStringList({u"p1"_s, u"p2"_s, u"p3"_s, u"p4"_s}));
    EXPECT_EQ(list.Rows[0].StatusText, u"Not yet sent"_s);
}

TEST(JobListFileTest, RaggedLinesKeepTheirStatusText)
{
    const TJobList list = ParseJobList({
        u"0|a@x.org|p1|p2|p3|p4|Not yet sent"_s,
        u"1|b@x.org|q1|q2|Sent on 1.2.2024"_s,
        u"2|c@x.org|r1|r2|r3|r4|r5|r6|Error: refused"_s,
    });
    ASSERT_EQ(list.Rows.size(), 3u);
    // Short line: two empty parameters, the status text stays the status text.
    EXPECT_EQ(list.Rows[1].Params, QStringList({u"q1"_s, u"q2"_s, QString(), QString()}));
    EXPECT_EQ(list.Rows[1].StatusText, u"Sent on 1.2.2024"_s);
    EXPECT_EQ(list.Rows[1].Status, RecipientStatus::Sent);
    // Long line: the surplus parameters go, the status text stays.
    EXPECT_EQ(list.Rows[2].Params, QStringList({u"r1"_s, u"r2"_s, u"r3"_s, u"r4"_s}));
    EXPECT_EQ(list.Rows[2].StatusText, u"Error: refused"_s);
}

TEST(JobListFileTest, FirstLineWithFewBarsLosesNothing)
{
    const TJobList list = ParseJobList({u"1|a@x.org"_s, u"0|b@x.org|p1|Not yet sent"_s, u"c@x.org"_s});
    EXPECT_EQ(list.ParamColumns, 0);
    ASSERT_EQ(list.Rows.size(), 3u);
    EXPECT_EQ(list.Rows[0].Address, u"a@x.org"_s);
    EXPECT_EQ(list.Rows[0].Status, RecipientStatus::Sent);
    EXPECT_FALSE(list.Rows[0].StatusText.isEmpty());
    EXPECT_EQ(list.Rows[1].Address, u"b@x.org"_s);
    EXPECT_EQ(list.Rows[1].StatusText, u"Not yet sent"_s);
    EXPECT_TRUE(list.Rows[1].Params.isEmpty());
    EXPECT_EQ(list.Rows[2].Address, u"c@x.org"_s);
    EXPECT_EQ(list.Rows[2].StatusText, u"Not yet sent"_s);
}

TEST(JobListFileTest, StatusFieldIsClamped)
{
    const TJobList list = ParseJobList({u"7|a@x.org|t"_s, u"x|b@x.org|t"_s, u"-3|c@x.org|t"_s, u" 1 |d@x.org|t"_s});
    ASSERT_EQ(list.Rows.size(), 4u);
    EXPECT_EQ(list.Rows[0].Status, RecipientStatus::Failed);
    EXPECT_EQ(list.Rows[1].Status, RecipientStatus::NotSent);
    EXPECT_EQ(list.Rows[2].Status, RecipientStatus::NotSent);
    EXPECT_EQ(list.Rows[3].Status, RecipientStatus::Sent);
}

TEST(JobListFileTest, AtMostTwentyThousandRowsAndNoBlankOnes)
{
    QStringList lines;
    for (int i = 0; i <= MaxRecipients; ++i)
        lines.append(u"0|u%1@x.org|Not yet sent"_s.arg(i));
    lines.insert(1, u"   "_s);
    const TJobList list = ParseJobList(lines);
    ASSERT_EQ(list.Rows.size(), size_t(MaxRecipients));
    EXPECT_EQ(list.Rows.back().Address, u"u%1@x.org"_s.arg(MaxRecipients - 1));
}

TEST(JobListFileTest, NoParametersMeansTwoBarsPerLine)
{
    const std::vector<TRecipient> rows{{RecipientStatus::Sent, u"a@x.org"_s, {}, u"Sent on 1"_s},
                                       {RecipientStatus::NotSent, u"b@x.org"_s, {}, u"Not yet sent"_s}};
    const QString text = FormatJobList(rows);
    EXPECT_EQ(text, u"1|a@x.org|Sent on 1\r\n0|b@x.org|Not yet sent\r\n"_s);
    const TJobList back = ParseJobList(SplitLines(text));
    EXPECT_EQ(back.ParamColumns, 0);
    EXPECT_EQ(back.Rows, rows);
}

TEST(JobListFileTest, FileRoundTripIsUtf8)
{
    TempDataFolder data;
    const std::vector<TRecipient> rows{
        {RecipientStatus::Failed, u"zoë@x.org"_s, {u"Ærø"_s, QString()}, u"Error: nope"_s}};
    WriteJobList(JobListPath(), rows);
    EXPECT_TRUE(ReadBytes(JobListPath()).contains("zo\xC3\xAB"));
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows, rows);
}

TEST(JobListFileTest, EmptyListWritesAnEmptyFile)
{
    TempDataFolder data;
    WriteJobList(JobListPath(), {});
    EXPECT_TRUE(QFile::exists(JobListPath()));
    EXPECT_TRUE(ReadBytes(JobListPath()).isEmpty());
}

TEST(JobListFileTest, ReadingSkipsBomAndFallsBackToWindows1252)
{
    TempDataFolder data;
    WriteBytes(JobListPath(), "\xEF\xBB\xBF"
                              "0|a@x.org|Not yet sent\r\n");
    EXPECT_EQ(ReadJobListLines(JobListPath()), QStringList({u"0|a@x.org|Not yet sent"_s}));
    WriteBytes(JobListPath(), "0|a@x.org|Ren\xE9\x80|Not yet sent\r\n");
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows[0].Params, QStringList({u"René€"_s}));
}

TEST(JobListFileTest, MissingFileGivesNoLines)
{
    TempDataFolder data;
    EXPECT_TRUE(ReadJobListLines(JobListPath()).isEmpty());
    EXPECT_TRUE(ReadJobListLines(data.Root()).isEmpty()); // a folder cannot be read
}

TEST(JobListFileTest, UnwritableFileThrows)
{
    TempDataFolder data;
    QDir().mkpath(JobListPath()); // a folder where the file should be
    EXPECT_THROW(WriteJobList(JobListPath(), {{RecipientStatus::NotSent, u"a@x.org"_s, {}, u"Not yet sent"_s}}),
                 AppError);
}
