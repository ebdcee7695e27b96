#include "TBryStatusBar.h"

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
