#include "TextHelpers.h"

#include <QFile>
#include <QList>
#include <QLocale>
#include <QTemporaryDir>
#include <QTime>

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace Qt::StringLiterals;

TEST(TextHelpersTest, ExtractFieldCountsEmptyFieldsAndTrims)
{
    const QChar bar(u'|');
    EXPECT_EQ(ExtractField(u"a|b||d"_s, 3, bar), QString());
    EXPECT_EQ(ExtractField(u"a|b||d"_s, 4, bar), u"d"_s);
    EXPECT_EQ(ExtractField(u"a|b||d"_s, 5, bar), QString());
    EXPECT_EQ(ExtractField(u"\t x\r|y"_s, 0, bar), u"x"_s);
    EXPECT_EQ(ExtractField(u"a|"_s, 2, bar), QString());
    EXPECT_EQ(ExtractField(u"\"a|b\"|c"_s, 2, bar), u"b\""_s); // quotes are not special
}

// A comparison by subtraction would overflow at the ends of the range.
TEST(TextHelpersTest, CompareIntOrdersTheWholeRange)
{
    const int low = std::numeric_limits<int>::min();
    const int high = std::numeric_limits<int>::max();
    EXPECT_EQ(CompareInt(low, high), -1);
    EXPECT_EQ(CompareInt(high, low), 1);
    EXPECT_EQ(CompareInt(-7, -7), 0);
}

TEST(TextHelpersTest, BlankTextTrimsToNothing)
{
    EXPECT_TRUE(TrimControlsView(u" \r\n\t\x01"_s).isEmpty());
    EXPECT_TRUE(TrimControlsView(QString()).isEmpty());
    EXPECT_FALSE(TrimControlsView(u" \r\n.\r\n"_s).isEmpty());
}

TEST(TextHelpersTest, CsvQuotingCases)
{
    const auto quoted = [](QString f) {
        QuoteCsvField(f, u',');
        return f;
    };
    EXPECT_EQ(quoted(u"a\"b"_s), u"\"a\"\"b\""_s);
    EXPECT_EQ(quoted(u"a,b"_s), u"\"a,b\""_s);
    EXPECT_EQ(quoted(u"a;b"_s), u"a;b"_s);
    EXPECT_EQ(quoted(u" a "_s), u" a "_s);
    EXPECT_EQ(UnquoteCsvField(u"\"a\"\"\"\"b\""_s), u"a\"\"b"_s);
    EXPECT_EQ(UnquoteCsvField(u"\""_s), u"\""_s);
    EXPECT_EQ(UnquoteCsvField(u"abc\""_s), u"abc"_s);
    EXPECT_EQ(UnquoteCsvField(u"a\"\"\"b"_s), u"a\"\"b"_s);
}

// Whatever the export writes, the import reads back.
TEST(TextHelpersTest, UnquoteInvertsQuoteOverGeneratedFields)
{
    const QString alphabet = u"ab \",\r\n;"_s;
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    int wrapped = 0;
    for (int i = 0; i < 5000; ++i) {
        QString field;
        for (int n = length(rng); n > 0; --n)
            field += alphabet[pick(rng)];
        QString quoted = field;
        QuoteCsvField(quoted, u',');
        if (quoted == field)
            continue;
        ++wrapped;
        ASSERT_EQ(UnquoteCsvField(quoted), field) << qPrintable(field);
    }
    EXPECT_GT(wrapped, 1000);
}

TEST(TextHelpersTest, PathsAndFileSizes)
{
    EXPECT_EQ(IncludeTrailingBackslash(QString()), QString());
    EXPECT_EQ(ExcludeTrailingBackslash(u"/"_s), u"/"_s);
    EXPECT_EQ(ExcludeTrailingBackslash(u"/data/"_s), u"/data"_s);
    EXPECT_EQ(JoinPath(u"/data"_s, u"/list.csv"_s), u"/data/list.csv"_s);
    EXPECT_EQ(JoinPath(u"/data/"_s, u"list.csv"_s), u"/data/list.csv"_s);
    EXPECT_EQ(JoinPath(QString(), u"/list.csv"_s), u"list.csv"_s);

    // Only the file name's last extension is replaced; a dot in a folder is no extension.
    EXPECT_EQ(ForceExtension(u"/home/me/backup.zip"_s, u"bxk"_s), u"/home/me/backup.bxk"_s);
    EXPECT_EQ(ForceExtension(u"/home/me/backup.tar.gz"_s, u"bxk"_s), u"/home/me/backup.tar.bxk"_s);
    EXPECT_EQ(ForceExtension(u"/home/me.d/backup"_s, u"bxk"_s), u"/home/me.d/backup.bxk"_s);
    EXPECT_EQ(ForceExtension(u"/home/me/backup.bxk"_s, u"bxk"_s), u"/home/me/backup.bxk"_s);
    EXPECT_EQ(JustName(u"/home/me.d/June backup.bxk"_s), u"June backup"_s);
    EXPECT_EQ(JustName(u"/home/me.d/backup"_s), u"backup"_s);

    QTemporaryDir dir;
    EXPECT_EQ(GetFileSize64(dir.filePath(u"missing"_s)), 0);
    QFile big(dir.filePath(u"big"_s)); // sparse, beyond 32 bits
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const qint64 size = (qint64(1) << 32) + 7;
    ASSERT_TRUE(big.resize(size));
    big.close();
    EXPECT_EQ(GetFileSize64(big.fileName()), size);
}

TEST(TextHelpersTest, LongTimeFormatLosesTheZoneOnly)
{
    struct Case {
        QLocale locale;
        QString longFormat; // the locale's own, checked first
        QString expected;
        QString nineFourSeven; // 09:04:07 in the expected format
    };
    const QList<Case> cases = {
        {QLocale(QLocale::German, QLocale::Germany), u"HH:mm:ss t"_s, u"HH:mm:ss"_s, u"09:04:07"_s},
        {QLocale(QLocale::English, QLocale::UnitedStates), u"h:mm:ss AP t"_s, u"h:mm:ss AP"_s, u"9:04:07 AM"_s},
        // A bracketed zone leaves no empty brackets.
        {QLocale(QLocale::Spanish, QLocale::Spain), u"H:mm:ss (t)"_s, u"H:mm:ss"_s, u"9:04:07"_s},
        // Quoted literals stay as they are.
        {QLocale(QLocale::NorwegianNynorsk, QLocale::Norway), u"'kl'. HH:mm:ss t"_s, u"'kl'. HH:mm:ss"_s,
         u"kl. 09:04:07"_s},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(c.locale.timeFormat(QLocale::LongFormat), c.longFormat) << qPrintable(c.locale.name());
        const QString format = LongTimeFormatWithoutZone(c.locale);
        EXPECT_EQ(format, c.expected) << qPrintable(c.locale.name());
        EXPECT_EQ(c.locale.toString(QTime(9, 4, 7), format), c.nineFourSeven) << qPrintable(c.locale.name());
    }
}
