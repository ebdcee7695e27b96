#include "CardText.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QChar Ellipsis(0x2026);

} // namespace

TEST(CardTextLinesTest, LineBreaksAlwaysStartANewLine)
{
    const QFont font = QApplication::font();
    EXPECT_EQ(CardTextLines(font, u"one\ntwo\r\nthree"_s, 1000, false), (QStringList{u"one"_s, u"two"_s, u"three"_s}));
    EXPECT_EQ(CardTextLines(font, u"a long line that is not wrapped"_s, 10, false).size(), 1);
    EXPECT_EQ(CardTextLines(font, QString(), 100, true), QStringList{QString()});
}

TEST(CardTextLinesTest, WordWrapBreaksBetweenWords)
{
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    const int width =
        std::max(metrics.horizontalAdvance(u"alpha beta"_s), metrics.horizontalAdvance(u"gamma delta"_s)) + 2;
    ASSERT_LT(width, metrics.horizontalAdvance(u"alpha beta gamma"_s));
    const QStringList lines = CardTextLines(font, u"alpha beta gamma delta"_s, width, true);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].trimmed(), u"alpha beta"_s);
    EXPECT_EQ(lines[1].trimmed(), u"gamma delta"_s);
}

TEST(CardTextLinesTest, AWordWiderThanTheLineIsBrokenInside)
{
    const QFont font = QApplication::font();
    const int width = QFontMetrics(font).horizontalAdvance(u"abcde"_s);
    const QStringList lines = CardTextLines(font, u"abcdefghijklmnopqrst"_s, width, true);
    EXPECT_GE(lines.size(), 4);
    EXPECT_EQ(lines.join(QString()), u"abcdefghijklmnopqrst"_s);
}

TEST(ElideCardLineTest, FittingTextIsUnchanged)
{
    const QFontMetrics metrics(QApplication::font());
    const QString text = u"/home/user/list.csv"_s;
    EXPECT_EQ(ElideCardLine(metrics, text, metrics.horizontalAdvance(text), true), text);
    EXPECT_EQ(ElideCardLine(metrics, text, metrics.horizontalAdvance(text), false), text);
}

TEST(ElideCardLineTest, PathEllipsisKeepsTheFileName)
{
    const QFontMetrics metrics(QApplication::font());
    const QString path = u"/home/user/Documents/campaigns/spring/recipients-final.csv"_s;
    const int width = metrics.horizontalAdvance(u"/home/us/recipients-final.csv"_s);
    const QString shown = ElideCardLine(metrics, path, width, true);
    EXPECT_TRUE(shown.endsWith(u"/recipients-final.csv"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(u"/ho"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(Ellipsis));
    EXPECT_LE(metrics.horizontalAdvance(shown), width);
}

TEST(ElideCardLineTest, EndEllipsisCutsTheEnd)
{
    const QFontMetrics metrics(QApplication::font());
    const QString path = u"/home/user/Documents/campaigns/spring/recipients-final.csv"_s;
    const int width = metrics.horizontalAdvance(u"/home/user/Docu"_s);
    const QString shown = ElideCardLine(metrics, path, width, false);
    EXPECT_TRUE(shown.startsWith(u"/home/"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(Ellipsis)) << shown.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shown), width);
}

TEST(ElideCardLineTest, NameWiderThanTheRoomIsCutToo)
{
    const QFontMetrics metrics(QApplication::font());
    const QString path = u"/tmp/an-extremely-long-file-name-for-a-list.csv"_s;
    const int width = metrics.horizontalAdvance(u"an-extreme"_s);
    const QString shown = ElideCardLine(metrics, path, width, true);
    EXPECT_LE(metrics.horizontalAdvance(shown), width);
    EXPECT_TRUE(shown.contains(Ellipsis));
}

TEST(ElideCardLineTest, TextWithoutFolderGetsTheEllipsisInTheMiddle)
{
    const QFontMetrics metrics(QApplication::font());
    const QString text = u"abcdefghijklmnopqrstuvwxyz0123456789"_s;
    const QString shown = ElideCardLine(metrics, text, metrics.horizontalAdvance(text) / 2, true);
    EXPECT_TRUE(shown.startsWith(u"a"_s));
    EXPECT_TRUE(shown.endsWith(u"9"_s));
    EXPECT_TRUE(shown.contains(Ellipsis));
}
