#include "dcOutCommon.h"
#include "RenderHelpers.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <set>

namespace {

QImage Canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    return image;
}

constexpr TColor Magenta = 0xFF00FF;

} // namespace

TEST(ColorFromBGRTest, BlueIsTheHighByte)
{
    EXPECT_EQ(ColorFromBGR(0x803000), QColor(0x00, 0x30, 0x80));
    EXPECT_EQ(ColorFromBGR(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromBGR(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorFromBGR(0xD0F7FF), QColor(0xFF, 0xF7, 0xD0));
}

TEST(ColorFromBGRTest, SystemColoursComeFromThePalette)
{
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(ColorFromBGR(clBtnFace), palette.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(ColorFromBGR(clBtnShadow), palette.color(QPalette::Active, QPalette::Dark));
    EXPECT_EQ(ColorFromBGR(clWindow), palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(ColorFromBGR(clGrayText), palette.color(QPalette::Disabled, QPalette::WindowText));
}

TEST(GradientFillTest, EqualColoursMakeOneBandOfExtentPlusOne)
{
    QImage image = Canvas(10, 30);
    {
        QPainter p(&image);
        GradientFill(p, 10, 20, 0x336699, 0x336699, true);
    }
    for (int y = 0; y <= 20; ++y)
        EXPECT_EQ(PixelBGR(image, 5, y), 0x336699u) << "row " << y;
    EXPECT_EQ(PixelBGR(image, 5, 21), Magenta);
}

TEST(GradientFillTest, TwentyRowsWithDifference24PaintRowsZeroToTwenty)
{
    // Green differs by 24: 25 steps, 1-pixel bands.
    const TColor start = 0x104010;
    const TColor end = 0x105810;
    QImage image = Canvas(4, 30);
    {
        QPainter p(&image);
        GradientFill(p, 4, 20, start, end, true);
    }
    EXPECT_EQ(PixelBGR(image, 0, 0), start);
    EXPECT_EQ(PixelBGR(image, 3, 20), end);
    EXPECT_EQ(PixelBGR(image, 0, 21), Magenta);
    // Row i has start + i x 24 / 20, truncated.
    for (int y = 0; y <= 20; ++y)
        EXPECT_EQ(image.pixelColor(2, y).green(), 0x40 + y * 24 / 20) << "row " << y;
}

TEST(GradientFillTest, TwoPixelBandsReachOneBandBeyond)
{
    // The disabled grey: from 0xE1E1E1 to 0xD0D0D0, 18 steps of 2 rows.
    QImage image = Canvas(4, 30);
    {
        QPainter p(&image);
        GradientFill(p, 4, 20, 0xE1E1E1, 0xD0D0D0, true);
    }
    EXPECT_EQ(PixelBGR(image, 1, 0), 0xE1E1E1u);
    EXPECT_EQ(PixelBGR(image, 1, 1), 0xE1E1E1u);
    EXPECT_EQ(PixelBGR(image, 1, 20), 0xD0D0D0u);
    EXPECT_EQ(PixelBGR(image, 1, 21), 0xD0D0D0u);
    EXPECT_EQ(PixelBGR(image, 1, 22), Magenta);
}

TEST(GradientFillTest, HorizontalRunsLeftToRight)
{
    QImage image = Canvas(30, 3);
    {
        QPainter p(&image);
        GradientFill(p, 20, 3, 0x000000, 0x000014, false);
    }
    EXPECT_EQ(PixelBGR(image, 0, 1), 0x000000u);
    EXPECT_EQ(PixelBGR(image, 10, 1), 0x00000Au);
    EXPECT_EQ(PixelBGR(image, 20, 1), 0x000014u);
    EXPECT_EQ(PixelBGR(image, 21, 1), Magenta);
    EXPECT_EQ(PixelBGR(image, 5, 2), PixelBGR(image, 5, 0));
}

TEST(GradientFillTest, NoExtentDrawsNothing)
{
    QImage image = Canvas(10, 10);
    {
        QPainter p(&image);
        GradientFill(p, 10, 0, 0x000000, 0xFFFFFF, true);
        GradientFill(p, -5, 10, 0x000000, 0xFFFFFF, false);
    }
    EXPECT_EQ(CountPixels(image, image.rect(), Magenta), 100);
}

TEST(GradientFillTest, AtMost256Bands)
{
    QImage image = Canvas(2, 1100);
    {
        QPainter p(&image);
        GradientFill(p, 2, 1000, 0x000000, 0xFFFFFF, true);
    }
    std::set<TColor> colours;
    for (int y = 0; y < 1000; ++y)
        colours.insert(PixelBGR(image, 0, y));
    EXPECT_LE(colours.size(), 256u);
    EXPECT_GE(colours.size(), 200u);
    EXPECT_EQ(PixelBGR(image, 0, 0), 0x000000u);
}

TEST(AdjustLumaTest, GreyStaysGrey)
{
    // 0xD0: L = (416 x 240 + 255) / 510 = 196.26 -> 196; 212 x 255 / 240 = 225.25 -> 0xE1.
    EXPECT_EQ(AdjustLuma(0xD0D0D0, 16), 0xE1E1E1u);
    for (TColor grey : {0x101010u, 0x808080u, 0xC0C0C0u}) {
        for (int n : {-20, 12, 16}) {
            const TColor c = AdjustLuma(grey, n);
            EXPECT_EQ(c & 0xFF, (c >> 8) & 0xFF);
            EXPECT_EQ(c & 0xFF, (c >> 16) & 0xFF);
            EXPECT_EQ(n > 0, (c & 0xFF) > (grey & 0xFF)) << std::hex << grey << " " << n;
        }
    }
}

TEST(AdjustLumaTest, PanelColoursMatchTheReferenceConversion)
{
    // Worked out with an independent implementation of the hue-luminance-saturation rules.
    EXPECT_EQ(AdjustLuma(0xB8D8C0, 16), 0xD0E5D6u);
    EXPECT_EQ(AdjustLuma(0xB8D8C0, 12), 0xCAE2D1u);
    EXPECT_EQ(AdjustLuma(0xF8D8B8, 16), 0xFBEAD9u);
    EXPECT_EQ(AdjustLuma(0x80C0FF, 16), 0xA4D3FFu);
    EXPECT_EQ(AdjustLuma(0x80C0FF, 12), 0x9CCFFFu);
    EXPECT_EQ(AdjustLuma(0xFFC0C8, 16), 0xFFE4E8u);
    EXPECT_EQ(AdjustLuma(0xD0D0D0, 12), 0xDDDDDDu);
    EXPECT_EQ(AdjustLuma(0xB8D8C0, 18), 0xD3E6D8u);
    EXPECT_EQ(AdjustLuma(0xB8D8C0, -12), 0xA9D0B4u);
}

TEST(AdjustLumaTest, HalvesGoToTheEvenNeighbour)
{
    // Pure red 17: L = 8.5 and saturation 240.5; rounding halves up would give 0x000115.
    EXPECT_EQ(AdjustLuma(0x000011, 0), 0x000012u);
    EXPECT_EQ(AdjustLuma(0x000011, 5), 0x00001Cu);
    EXPECT_EQ(AdjustLuma(0x112233, 0), 0x122234u);
}

TEST(AdjustLumaTest, ChannelsStayWithinRange)
{
    EXPECT_EQ(AdjustLuma(0xFFFFFF, 16), 0xFFFFFFu);
    EXPECT_EQ(AdjustLuma(0x000000, -16), 0x000000u);
    EXPECT_EQ(AdjustLuma(0x0000FF, 200) & 0xFF, 0xFFu);
}
