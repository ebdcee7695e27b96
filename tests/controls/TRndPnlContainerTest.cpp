#include "TRndPnlContainer.h"
#include "RenderHelpers.h"
#include "TRoundedPanel.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor Background = 0xD0F7FF;

TRoundedPanel *AddPanel(TRndPnlContainer &container, const QRect &bounds)
{
    auto *panel = new TRoundedPanel(&container);
    panel->Setup(0xFFFFFF, 0xB8D8C0, 0x204020, Background, ShadowColors[0]);
    panel->setGeometry(bounds);
    return panel;
}

} // namespace

TEST(TRndPnlContainerTest, ConstructionDefaults)
{
    const TRndPnlContainer container;
    EXPECT_EQ(container.size(), QSize(200, 200));
    EXPECT_EQ(container.BackgroundColor(), Background);
    EXPECT_EQ(container.Shadows()[0], 0x80A8ABu);
    EXPECT_EQ(container.Shadows()[1], 0xA0C8CBu);
    EXPECT_EQ(container.Shadows()[2], 0xC0E8EBu);
}

TEST(TRndPnlContainerTest, ThreeStepShadowRightAndBelow)
{
    TRndPnlContainer container;
    container.resize(300, 200);
    AddPanel(container, QRect(10, 10, 100, 50));
    const QImage image = RenderWidget(container);
    const int r = 110;
    const int b = 60;
    for (int k = 0; k < 3; ++k) {
        // Right strip from 2 px below the top, bottom strip from 2 px in from the left.
        EXPECT_EQ(PixelBGR(image, r + k, 12 + k), ShadowColors[k]) << k;
        EXPECT_EQ(PixelBGR(image, r + k, 11 + k), Background) << k;
        EXPECT_EQ(PixelBGR(image, 12 + k, b + k), ShadowColors[k]) << k;
        EXPECT_EQ(PixelBGR(image, 11 + k, b + k), Background) << k;
        EXPECT_EQ(PixelBGR(image, r + k, 40), ShadowColors[k]) << k;
        EXPECT_EQ(PixelBGR(image, 60, b + k), ShadowColors[k]) << k;
    }
    // Each layer's corner one shade lighter; the outermost takes the background.
    EXPECT_EQ(PixelBGR(image, r, b), ShadowColors[1]);
    EXPECT_EQ(PixelBGR(image, r + 1, b + 1), ShadowColors[2]);
    EXPECT_EQ(PixelBGR(image, r + 2, b + 2), Background);
    EXPECT_EQ(PixelBGR(image, r + 3, 40), Background);
    EXPECT_EQ(PixelBGR(image, 60, b + 3), Background);
}

TEST(TRndPnlContainerTest, OnlyVisibleRoundedPanelsCastShadows)
{
    TRndPnlContainer container;
    container.resize(300, 200);
    auto *plain = new QWidget(&container);
    plain->setGeometry(10, 10, 50, 50);
    TRoundedPanel *hidden = AddPanel(container, QRect(100, 10, 50, 50));
    hidden->hide();
    const QImage image = RenderWidget(container);
    EXPECT_EQ(CountPixels(image, image.rect(), ShadowColors[0]), 0);
    EXPECT_EQ(PixelBGR(image, 60, 30), Background);
    EXPECT_EQ(PixelBGR(image, 150, 30), Background);
}
