#include "TRoundedPanel.h"
#include "RenderHelpers.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr TColor Band = 0xB8D8C0;
constexpr TColor Caption = 0x204020;
constexpr TColor Corner = 0xD0F7FF;
constexpr TColor ShadowCorner = 0x80A8AB;

std::unique_ptr<TRoundedPanel> MakePanel(int w = 200, int h = 100)
{
    auto panel = std::make_unique<TRoundedPanel>();
    panel->Setup(0xFFFFFF, Band, Caption, Corner, ShadowCorner);
    panel->resize(w, h);
    return panel;
}

/** Columns of the band that hold the colour. */
QList<int> ColumnsWith(const QImage &image, TColor colour)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (CountPixels(image, QRect(x, 0, 1, TRoundedPanel::BandHeight), colour) > 0)
            columns << x;
    return columns;
}

} // namespace

TEST(TRoundedPanelTest, SetupTakesColoursAndVerdana)
{
    const auto panel = MakePanel();
    EXPECT_EQ(panel->BandColor(), Band);
    EXPECT_EQ(panel->CaptionColor(), Caption);
    EXPECT_EQ(panel->CornerColor(), Corner);
    EXPECT_EQ(panel->ShadowCornerColor(), ShadowCorner);
    EXPECT_EQ(panel->font().family(), u"Verdana"_s);
}

TEST(TRoundedPanelTest, BandRunsFromLighterTopToBandColour)
{
    const auto panel = MakePanel();
    const QImage image = RenderWidget(*panel);
    EXPECT_EQ(PixelBGR(image, 100, 0), AdjustLuma(Band, 16));
    // 1-pixel bands: row 20 is still painted, in the band colour.
    EXPECT_EQ(PixelBGR(image, 100, 20), Band);
    EXPECT_EQ(PixelBGR(image, 100, 21), 0xFFFFFFu);
    EXPECT_EQ(PixelBGR(image, 100, 50), 0xFFFFFFu);
}

TEST(TRoundedPanelTest, FrameOnThreeSidesAndRoundedCorners)
{
    const auto panel = MakePanel(200, 100);
    const QImage image = RenderWidget(*panel);
    const TColor frame = AdjustLuma(Band, 12);
    EXPECT_EQ(PixelBGR(image, 0, 50), frame);
    EXPECT_EQ(PixelBGR(image, 199, 50), frame);
    EXPECT_EQ(PixelBGR(image, 100, 99), frame);
    EXPECT_EQ(PixelBGR(image, 0, 10), frame);
    // No line along the top: the band is the top edge.
    EXPECT_EQ(PixelBGR(image, 100, 0), AdjustLuma(Band, 16));
    EXPECT_EQ(PixelBGR(image, 0, 0), Corner);
    EXPECT_EQ(PixelBGR(image, 199, 0), Corner);
    EXPECT_EQ(PixelBGR(image, 0, 99), Corner);
    EXPECT_EQ(PixelBGR(image, 199, 99), ShadowCorner);
}

TEST(TRoundedPanelTest, DisabledPanelIsGreyWhateverItsBand)
{
    const auto panel = MakePanel();
    panel->SetTitle(u"Mailing List"_s);
    auto *child = new QLabel(panel.get());
    panel->setEnabled(false);
    EXPECT_FALSE(child->isEnabled());
    EXPECT_EQ(panel->ActiveBandColor(), 0xD0D0D0u);
    const QImage image = RenderWidget(*panel);
    EXPECT_EQ(PixelBGR(image, 150, 0), AdjustLuma(0xD0D0D0, 16));
    // 2-pixel bands of the grey reach rows 20 and 21.
    EXPECT_EQ(PixelBGR(image, 150, 20), 0xD0D0D0u);
    EXPECT_EQ(PixelBGR(image, 150, 21), 0xD0D0D0u);
    EXPECT_EQ(PixelBGR(image, 150, 22), 0xFFFFFFu);
    EXPECT_EQ(PixelBGR(image, 0, 50), AdjustLuma(0xD0D0D0, 12));
    EXPECT_GT(CountPixels(image, QRect(0, 0, 200, 20), 0x808080), 0);
    EXPECT_EQ(CountPixels(image, QRect(0, 0, 200, 20), Caption), 0);

    panel->setEnabled(true);
    EXPECT_TRUE(child->isEnabled());
    const QImage enabled = RenderWidget(*panel);
    EXPECT_GT(CountPixels(enabled, QRect(0, 0, 200, 20), Caption), 0);
}

TEST(TRoundedPanelTest, TitleIsCentredOrAtSixPixels)
{
    const auto panel = MakePanel(300, 60);
    panel->SetTitle(u"Summary"_s);
    const QList<int> centred = ColumnsWith(RenderWidget(*panel), Caption);
    ASSERT_FALSE(centred.isEmpty());
    EXPECT_NEAR(centred.first() + centred.last(), 300, 4);

    panel->SetAlignment(Qt::AlignLeft);
    const QList<int> left = ColumnsWith(RenderWidget(*panel), Caption);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_GE(left.first(), 6);
    EXPECT_LE(left.first(), 8);
}

TEST(TRoundedPanelTest, LongTitleIsCutWithinTheBandAndNeverWraps)
{
    const auto panel = MakePanel(80, 80);
    panel->SetTitle(u"A very long panel title that cannot fit into eighty pixels"_s);
    const QImage image = RenderWidget(*panel);
    EXPECT_GT(CountPixels(image, QRect(0, 0, 80, 20), Caption), 0);
    EXPECT_EQ(CountPixels(image, QRect(0, 21, 80, 59), Caption), 0);
    EXPECT_EQ(CountPixels(image, QRect(0, 0, 2, 20), Caption), 0);
    EXPECT_EQ(CountPixels(image, QRect(78, 0, 2, 20), Caption), 0);
}
