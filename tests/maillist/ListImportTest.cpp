#include "ListImport.h"

#include "AppError.h"
#include "JobListFile.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList Numbered(int count, const QString &pattern)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(pattern.arg(i));
    return lines;
}

// The import's result as rows, the way the list loads it.
TJobList Import(QStringList lines, int *duplicates = nullptr)
{
    const int removed = BuildJobLines(lines);
    if (duplicates)
        *duplicates = removed;
    return ParseJobList(lines);
}

} // namespace

TEST(ListImportTest, LinesWithoutAtAreDropped)
{
    QStringList lines{u"Email,First,Last"_s, u"a@x.org,Ann,Lee"_s, u"b@x.org,Bob,Ray"_s, u"c@x.org,Cy,Ho"_s};
    const TImportCheck check = CheckImportLines(lines);
    EXPECT_EQ(check.Dropped, 1);
    EXPECT_EQ(lines, QStringList({u"a@x.org,Ann,Lee"_s, u"b@x.org,Bob,Ray"_s, u"c@x.org,Cy,Ho"_s}));
    EXPECT_FALSE(check.Suspicious);
}

TEST(ListImportTest, NoUsableLineIsAnError)
{
    QStringList lines{u"no address here"_s, QString()};
    try {
        CheckImportLines(lines);
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.Message(), NoAddressesMessage());
        EXPECT_TRUE(e.Message().startsWith(u"Invalid file format.\r\n"_s));
    }
}

TEST(ListImportTest, TooManyDroppedLinesAreSuspicious)
{
    QStringList four = Numbered(6, u"u%1@x.org"_s) + Numbered(4, u"heading %1"_s);
    EXPECT_TRUE(CheckImportLines(four).Suspicious); // 4 > 6 div 2
    QStringList three = Numbered(7, u"u%1@x.org"_s) + Numbered(3, u"heading %1"_s);
    EXPECT_FALSE(CheckImportLines(three).Suspicious); // 3 is not > 7 div 2
}

TEST(ListImportTest, LongLinesAndManyAtsAreSuspicious)
{
    QStringList longLine = Numbered(10, u"u%1@x.org"_s);
    longLine.append(u"z@x.org,"_s + QString(243, u'a'));
    ASSERT_EQ(longLine.back().size(), 251);
    EXPECT_TRUE(CheckImportLines(longLine).Suspicious);
    longLine.back().chop(1);
    EXPECT_FALSE(CheckImportLines(longLine).Suspicious);

    QStringList manyAts = Numbered(10, u"u%1@x.org"_s);
    manyAts[4] = u"a@x.org b@x.org c@x.org d@x.org"_s;
    EXPECT_TRUE(CheckImportLines(manyAts).Suspicious);
    manyAts[4] = u"a@x.org b@x.org c@x.org"_s;
    EXPECT_FALSE(CheckImportLines(manyAts).Suspicious);
    manyAts[5] = u"a@x.org b@x.org c@x.org d@x.org"_s; // only the first five count
    EXPECT_FALSE(CheckImportLines(manyAts).Suspicious);
}

TEST(ListImportTest, DelimiterIsTheFirstAfterTheFirstCharacter)
{
    EXPECT_EQ(DetectDelimiter(u"a@x.org;Ann,Lee"), u';');
    EXPECT_EQ(DetectDelimiter(u"a@x.org\tAnn;Lee"), u'\t');
    EXPECT_EQ(DetectDelimiter(u";a@x.org,Ann"), u',');
    EXPECT_EQ(DetectDelimiter(u"a@x.org"), u',');
}

TEST(ListImportTest, SemicolonFieldsArriveTrimmed)
{
    const TJobList list = Import({u"a@x.org; Ann ; Lee "_s, u" b@x.org ;Bob;Ray"_s});
    EXPECT_EQ(list.ParamColumns, 2);
    ASSERT_EQ(list.Rows.size(), 2u);
    EXPECT_EQ(list.Rows[0].Address, u"a@x.org"_s);
    EXPECT_EQ(list.Rows[0].Params, QStringList({u"Ann"_s, u"Lee"_s}));
    EXPECT_EQ(list.Rows[1].Address, u"b@x.org"_s);
    EXPECT_EQ(list.Rows[1].StatusText, u"Not yet sent"_s);
    EXPECT_EQ(list.Rows[1].Status, RecipientStatus::NotSent);
}

TEST(ListImportTest, QuotedFieldsKeepTheirDelimiters)
{
    const TJobList list = Import({u"a@x.org,\"Lee, Ann\",\"say \"\"hi\"\"\""_s});
    EXPECT_EQ(list.ParamColumns, 2);
    EXPECT_EQ(list.Rows[0].Params, QStringList({u"Lee, Ann"_s, u"say \"hi\""_s}));
}

TEST(ListImportTest, BarBecomesSlash)
{
    const TJobList list = Import({u"a|b@x.org,x|y"_s});
    EXPECT_EQ(list.Rows[0].Address, u"a/b@x.org"_s);
    EXPECT_EQ(list.Rows[0].Params, QStringList({u"x/y"_s}));
}

TEST(ListImportTest, LeadingDelimiterDoesNotChooseTheDelimiter)
{
    const TJobList list = Import({u";a@x.org,Ann"_s});
    EXPECT_EQ(list.ParamColumns, 1);
    EXPECT_EQ(list.Rows[0].Address, u";a@x.org"_s);
    EXPECT_EQ(list.Rows[0].Params, QStringList({u"Ann"_s}));
}

TEST(ListImportTest, DuplicatesIgnoringCaseKeepTheFirstInFileOrder)
{
    int duplicates = 0;
    const TJobList list = Import(
        {u"b@x.org,Bob"_s, u"A@X.org,First"_s, u"c@x.org,Cy"_s, u"a@x.org,first"_s, u"a@X.ORG,FIRST"_s}, &duplicates);
    EXPECT_EQ(duplicates, 2);
    ASSERT_EQ(list.Rows.size(), 3u);
    EXPECT_EQ(list.Rows[0].Address, u"b@x.org"_s);
    EXPECT_EQ(list.Rows[1].Address, u"A@X.org"_s);
    EXPECT_EQ(list.Rows[1].Params, QStringList({u"First"_s}));
    EXPECT_EQ(list.Rows[2].Address, u"c@x.org"_s);
}

TEST(ListImportTest, ParameterCountFollowsTheLineThatSortsFirst)
{
    const TJobList list = Import({u"m@x.org,1,2,3"_s, u"b@x.org,1"_s, u"z@x.org,1,2,3,4"_s});
    EXPECT_EQ(list.ParamColumns, 1);
    EXPECT_EQ(list.Rows[0].Params, QStringList({u"1"_s}));
    EXPECT_EQ(list.Rows[2].Params, QStringList({u"1"_s}));

    const TJobList wide = Import({u"m@x.org,1"_s, u"a@x.org,1,2,3"_s});
    EXPECT_EQ(wide.ParamColumns, 3);
    EXPECT_EQ(wide.Rows[0].Params, QStringList({u"1"_s, QString(), QString()}));
}

TEST(ListImportTest, AtMostNineParameters)
{
    const TJobList list = Import({u"a@x.org,1,2,3,4,5,6,7,8,9,10,11"_s});
    EXPECT_EQ(list.ParamColumns, 9);
    EXPECT_EQ(list.Rows[0].Params.back(), u"9"_s);
}

TEST(ListImportTest, TruncationReportsTheOriginalCount)
{
    QStringList lines = Numbered(25000, u"u%1@x.org"_s);
    EXPECT_EQ(TruncateImport(lines), 25000);
    EXPECT_EQ(lines.size(), MaxRecipients);
    EXPECT_EQ(lines.back(), u"u19999@x.org"_s);
    EXPECT_EQ(TruncateImport(lines), 0);
}

TEST(ListImportTest, ExtractionFindsDistinctAddressesInOrder)
{
    const QStringList found = ExtractAddresses({u"From: Ann <ann@x.org>; cc \"Bob\" <BOB@y.net>"_s,
                                                u"Reply to ANN@X.ORG or bob@y.net."_s, u"(carl@z.co.uk)"_s});
    EXPECT_EQ(found, QStringList({u"ann@x.org"_s, u"BOB@y.net"_s, u"carl@z.co.uk"_s}));
}

TEST(ListImportTest, ExtractionTrimsDotsAndRejectsBadDomains)
{
    EXPECT_EQ(ExtractAddresses({u"see ..a.b@x.org... now"_s}), QStringList({u"a.b@x.org"_s}));
    EXPECT_TRUE(ExtractAddresses({u"user@localhost"_s}).isEmpty());
    EXPECT_TRUE(ExtractAddresses({u"user@.x.org"_s}).isEmpty());
    EXPECT_TRUE(ExtractAddresses({u"user@.com"_s}).isEmpty());
    EXPECT_TRUE(ExtractAddresses({u"x @x.org and x.org@ y"_s}).isEmpty());
    EXPECT_TRUE(ExtractAddresses({u"@"_s}).isEmpty());
}

TEST(ListImportTest, ExtractionRunsAcrossCommas)
{
    const QStringList found = ExtractAddresses({u"a@x.com,b@y.com"_s});
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found.front(), u"a@x.com,b"_s);
}

TEST(ListImportTest, ExtractionStepsOncePerCharacter)
{
    int steps = 0;
    ExtractAddresses({u"abc@x.org"_s}, [&steps] { ++steps; });
    EXPECT_EQ(steps, 9); // 11 characters with CR LF, less the first and the last
}
