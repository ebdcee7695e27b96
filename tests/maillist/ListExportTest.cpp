#include "ListExport.h"

#include "JobListFile.h"
#include "ListImport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const std::vector<TRecipient> Sample{
    {RecipientStatus::Sent, u"a@x.org"_s, {u"Lee, Ann"_s, u"say \"hi\""_s}, u"Sent on 1.2.2024 10:00"_s},
    {RecipientStatus::Failed, u"b@x.org"_s, {u"Bob"_s, QString()}, u"Error: 550, refused"_s},
    {RecipientStatus::NotSent, u"\"odd,one\"@x.org"_s, {u"C"_s, u"D"_s}, u"Not yet sent"_s},
    {RecipientStatus::NotSent, u"d@x.org"_s, {u"E"_s, u"F"_s}, u"Not yet sent"_s},
};

} // namespace

TEST(ListExportTest, ParametersAreQuotedAsNeeded)
{
    const QString text = FormatExport(Sample, 2, false);
    const QStringList lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(text.endsWith(u"\r\n"_s));
    EXPECT_EQ(lines[0], u"a@x.org,\"Lee, Ann\",\"say \"\"hi\"\"\""_s);
    EXPECT_EQ(lines[1], u"b@x.org,Bob,"_s);
    // The address is quoted like any other field.
    EXPECT_EQ(lines[2], u"\"\"\"odd,one\"\"@x.org\",C,D"_s);
}

TEST(ListExportTest, LogAddsTheStatusText)
{
    const QStringList lines = SplitLines(FormatExport(Sample, 2, true));
    EXPECT_EQ(lines[1], u"b@x.org,Bob,,\"Error: 550, refused\""_s);
    EXPECT_EQ(lines[3], u"d@x.org,E,F,Not yet sent"_s);
}

TEST(ListExportTest, WithoutParameters)
{
    const std::vector<TRecipient> rows{{RecipientStatus::Sent, u"a@x.org"_s, {}, u"Sent on 1"_s}};
    EXPECT_EQ(FormatExport(rows, 0, false), u"a@x.org\r\n"_s);
    EXPECT_EQ(FormatExport(rows, 0, true), u"a@x.org,Sent on 1\r\n"_s);
}

TEST(ListExportTest, SelectedRowsOnly)
{
    const std::vector<int> selected{1, 3};
    const QStringList lines = SplitLines(FormatExport(Sample, 2, false, &selected));
    EXPECT_EQ(lines, QStringList({u"b@x.org,Bob,"_s, u"d@x.org,E,F"_s}));
    const std::vector<int> none;
    EXPECT_TRUE(FormatExport(Sample, 2, false, &none).isEmpty());
}

TEST(ListExportTest, ExportImportsAsTheSameList)
{
    QStringList lines = SplitLines(FormatExport(Sample, 2, false));
    CheckImportLines(lines);
    EXPECT_EQ(BuildJobLines(lines), 0);
    const TJobList back = ParseJobList(lines);
    EXPECT_EQ(back.ParamColumns, 2);
    ASSERT_EQ(back.Rows.size(), Sample.size());
    for (size_t i = 0; i < Sample.size(); ++i) {
        EXPECT_EQ(back.Rows[i].Address, Sample[i].Address);
        EXPECT_EQ(back.Rows[i].Params, Sample[i].Params);
    }
}
