#include "Cursors.h"

#include <QBitmap>
#include <QImage>

#include <gtest/gtest.h>

TEST(CursorsTest, HandIsThePointingHand)
{
    EXPECT_EQ(KitCursor(CursorHand).shape(), Qt::PointingHandCursor);
}

TEST(CursorsTest, UnknownIdGivesTheArrow)
{
    EXPECT_EQ(KitCursor(0).shape(), Qt::ArrowCursor);
    EXPECT_EQ(KitCursor(4).shape(), Qt::ArrowCursor);
}

TEST(CursorsTest, CrossesAreOnePixelLinesAroundTheCentre)
{
    for (int id : {CursorCrossWhite, CursorCrossBlack}) {
        const QCursor cursor = KitCursor(id);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.hotSpot(), QPoint(16, 16));
        const QImage mask = cursor.mask().toImage();
        ASSERT_EQ(mask.size(), QSize(32, 32));
        const auto drawn = [&](int x, int y) { return mask.pixelIndex(x, y) == 1; };
        EXPECT_TRUE(drawn(16, 5));
        EXPECT_TRUE(drawn(16, 27));
        EXPECT_TRUE(drawn(5, 16));
        EXPECT_TRUE(drawn(27, 16));
        EXPECT_FALSE(drawn(16, 4));
        EXPECT_FALSE(drawn(28, 16));
        EXPECT_FALSE(drawn(15, 10));
    }
    const auto black = [](int id) { return KitCursor(id).bitmap().toImage().pixelIndex(16, 10) == 1; };
    EXPECT_TRUE(black(CursorCrossBlack));
    EXPECT_FALSE(black(CursorCrossWhite));
}
