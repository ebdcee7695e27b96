#include "ColumnSizing.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// One pixel per character keeps the expected widths readable.
int Length(const QString &text)
{
    return int(text.size());
}

TColumnWidths Widths(std::initializer_list<int> values)
{
    TColumnWidths widths{};
    std::copy(values.begin(), values.end(), widths.begin());
    return widths;
}

} // namespace

TEST(ColumnSizingTest, MeasuresTheWidestTextOfEachColumn)
{
    const std::vector<TRecipient> rows{
        {RecipientStatus::NotSent, u"abc@x.org"_s, {u"a"_s, u"long name"_s}, u"a very long status text"_s},
        {RecipientStatus::Sent, u"a@x.org"_s, {u"abcd"_s, u"b"_s}, u"t"_s}};
    const TColumnWidths widths = MeasureColumns(rows, 2, Length);
    EXPECT_EQ(widths[0], 9 + 24);
    EXPECT_EQ(widths[1], 4 + 24);
    EXPECT_EQ(widths[2], 9 + 24);
    EXPECT_EQ(widths[3], 0); // the status text is not measured
}

TEST(ColumnSizingTest, ColumnsKeepTheirWidthWhenTheyFit)
{
    const std::vector<int> columns = SizeColumns(Widths({100, 50, 60}), 2, 4, 518, 5, 17);
    EXPECT_EQ(columns, (std::vector<int>{18, 100, 50, 500 - 150}));
}

TEST(ColumnSizingTest, ColumnsShrinkInProportionButNotBelowTheIconWidth)
{
    // 400 + 200 + 10 in 305 px: ratio 2.
    const std::vector<int> columns = SizeColumns(Widths({400, 200, 10}), 2, 4, 323, 5, 17);
    EXPECT_EQ(columns, (std::vector<int>{18, 200, 100, 5}));
    const std::vector<int> tiny = SizeColumns(Widths({400, 20, 10}), 2, 4, 233, 5, 17);
    EXPECT_EQ(tiny[2], 18); // 20 / 2 = 10, raised to 18
}

TEST(ColumnSizingTest, TheScrollBarIsReservedFromFourteenRows)
{
    const TColumnWidths widths = Widths({50});
    EXPECT_EQ(SizeColumns(widths, 0, 2, 318, 12, 17), (std::vector<int>{18, 300}));
    EXPECT_EQ(SizeColumns(widths, 0, 2, 318, 13, 17), (std::vector<int>{18, 300}));
    EXPECT_EQ(SizeColumns(widths, 0, 2, 318, 14, 17), (std::vector<int>{18, 300 - 18}));
}

TEST(ColumnSizingTest, NothingToSize)
{
    EXPECT_TRUE(SizeColumns(Widths({50}), 0, 1, 300, 1, 17).empty());
    EXPECT_TRUE(SizeColumns(Widths({50}), 0, 2, 18, 1, 17).empty());
}

TEST(ColumnSizingTest, CachedWidthsMatchTheFont)
{
    const QFontMetrics metrics(QFont(u"Verdana"_s, 9));
    TTextWidthCache cache(metrics);
    for (const QString &text : {u"iiii"_s, u"WWWW@example.com"_s, u"Ærøskøbing"_s, QString()}) {
        // Kerning aside, the sum of the advances is the text's width.
        EXPECT_NEAR(cache.Width(text), metrics.horizontalAdvance(text), 2 + text.size() / 4) << text.toStdString();
    }
}
