#include "TBryStatusBar.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TBryStatusBarTest, LastPanelStretchesAndPanelsComeAndGo)
{
    TBryStatusBar bar;
    bar.resize(400, TBryStatusBar::BarHeight);
    bar.AddPanel(76);
    bar.AddPanel(96, Qt::AlignRight);
    bar.AddPanel(62);
    EXPECT_EQ(bar.PanelRect(1), QRect(76, 0, 96, TBryStatusBar::BarHeight));
    EXPECT_EQ(bar.PanelRect(2), QRect(172, 0, 400 - 172, TBryStatusBar::BarHeight));

    // A job's status line becomes the last panel; the one before keeps its width.
    bar.AddPanel(0);
    EXPECT_EQ(bar.PanelRect(2).width(), 62);
    EXPECT_EQ(bar.PanelRect(3), QRect(234, 0, 400 - 234, TBryStatusBar::BarHeight));
    bar.SetPanelText(3, u" Sending E-Mail ..."_s);
    EXPECT_EQ(bar.PanelText(3), u" Sending E-Mail ..."_s);
    bar.RemoveLastPanel();
    EXPECT_EQ(bar.PanelCount(), 3);
    EXPECT_TRUE(bar.PanelText(3).isEmpty());
    // Texts of panels that do not exist are ignored.
    bar.SetPanelText(7, u"x"_s);
    bar.SetPanelText(-1, u"x"_s);
    EXPECT_TRUE(bar.PanelText(7).isEmpty());
}

TEST(TBryStatusBarTest, OwnerDrawnPanelsAreDrawnByTheOwnerInTheirRectangle)
{
    TBryStatusBar bar;
    bar.resize(300, TBryStatusBar::BarHeight);
    bar.AddPanel(76, Qt::AlignLeft, true);
    bar.AddPanel(76, Qt::AlignLeft, true);
    bar.AddPanel(62);
    QList<int> drawn;
    QList<QRect> rects;
    bar.SetDrawPanel([&](QPainter &, int index, const QRect &rect) {
        drawn.append(index);
        rects.append(rect);
    });
    QImage image(bar.size(), QImage::Format_ARGB32);
    bar.render(&image);
    EXPECT_EQ(drawn, (QList<int>{0, 1}));
    ASSERT_EQ(rects.size(), 2);
    EXPECT_TRUE(bar.PanelRect(1).contains(rects[1]));
    EXPECT_FALSE(bar.PanelRect(0).intersects(rects[1]));
}

TEST(TBryStatusBarTest, EveryPanelHasRoomForItsLongestTextInTheFontUsed)
{
    TBryStatusBar bar;
    bar.resize(600, TBryStatusBar::BarHeight);
    bar.AddPanel({76, Qt::AlignLeft, true, u"-  20000"_s, 21, u"Not sent"_s});
    bar.AddPanel({62, Qt::AlignLeft, false, u" 00:00:00"_s, 0, u"Elapsed time"_s});
    bar.AddPanel(0);
    for (const int pixels : {8, 13, 22}) {
        QFont font = bar.font();
        font.setPixelSize(pixels);
        bar.setFont(font);
        const QFontMetrics metrics(font);
        // The owner draws after its icon; the time may show any digits.
        EXPECT_GE(bar.PanelTextRect(0).width() - 21, metrics.horizontalAdvance(u"-  20000"_s)) << pixels;
        for (const QString &time : {u" 00:00:00"_s, u" 12:34:56"_s, u" 88:88:88"_s})
            EXPECT_GE(bar.PanelTextRect(1).width(), metrics.horizontalAdvance(time)) << pixels;
        EXPECT_GE(bar.height(), metrics.height());
    }
}

TEST(TBryStatusBarTest, AssistiveTechnologyReadsEveryPanelByNameAndText)
{
    TBryStatusBar bar;
    bar.resize(400, TBryStatusBar::BarHeight);
    bar.AddPanel({76, Qt::AlignLeft, true, QString(), 21, u"Sent"_s});
    bar.AddPanel({96, Qt::AlignRight, false, QString(), 0, u"Position"_s});
    bar.SetPanelText(0, u"41"_s);
    bar.SetPanelText(1, u"3 : 10 "_s);

    QAccessibleInterface *access = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::StatusBar);
    ASSERT_EQ(access->childCount(), 2);
    EXPECT_EQ(access->child(0)->text(QAccessible::Name), u"Sent"_s);
    EXPECT_EQ(access->child(0)->text(QAccessible::Value), u"41"_s);
    EXPECT_EQ(access->child(1)->text(QAccessible::Name), u"Position"_s);
    EXPECT_EQ(access->child(1)->text(QAccessible::Value), u"3 : 10"_s);
    EXPECT_EQ(access->indexOfChild(access->child(1)), 1);
    EXPECT_EQ(access->child(1)->parent(), access);
    // The AT-SPI bridge passes no value of a static text: the description holds the text too.
    EXPECT_EQ(access->child(0)->text(QAccessible::Description), u"41"_s);
    EXPECT_EQ(access->child(1)->text(QAccessible::Description), u"3 : 10"_s);

    // A job's status line comes and goes with its panel.
    bar.AddPanel({0, Qt::AlignLeft, false, QString(), 0, u"Job status"_s});
    bar.SetPanelText(2, u" Sending E-Mail ..."_s);
    ASSERT_EQ(access->childCount(), 3);
    EXPECT_EQ(access->child(2)->text(QAccessible::Value), u"Sending E-Mail ..."_s);
    bar.RemoveLastPanel();
    EXPECT_EQ(access->childCount(), 2);
    EXPECT_EQ(access->child(2), nullptr);
}

TEST(TBryStatusBarTest, OnlyTheCountersThatChangedAreRepainted)
{
    TBryStatusBar bar;
    bar.resize(400, TBryStatusBar::BarHeight);
    for (int i = 0; i < 3; ++i)
        bar.AddPanel(76, Qt::AlignLeft, true);
    bar.AddPanel(0);
    QList<int> drawn;
    bar.SetDrawPanel([&](QPainter &, int index, const QRect &) { drawn.append(index); });
    const auto count = [&bar](const QList<int> &counts) {
        for (int i = 0; i < 3; ++i)
            bar.SetPanelText(i, QString::number(counts[i]));
    };
    bar.show();
    count({5, 0, 0});
    QCoreApplication::processEvents();

    // One e-mail sent: "not sent" and "sent" change, "failed" stays.
    drawn.clear();
    count({4, 1, 0});
    QCoreApplication::processEvents();
    EXPECT_EQ(drawn, (QList<int>{0, 1}));
}
