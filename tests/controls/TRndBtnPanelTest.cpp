#include "TRndBtnPanel.h"
#include "RenderHelpers.h"
#include "TCardLabel.h"
#include "TTxtBtnPanel.h"
#include "WindowWaits.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TColor Band = 0xB8D8C0;

std::unique_ptr<TRndBtnPanel> MakePanel(CommandSet commands = {0, 1})
{
    auto panel = std::make_unique<TRndBtnPanel>();
    panel->Build(commands, Band, 0x204020, 0xD0F7FF, 0x80A8AB);
    return panel;
}

/** @short A panel that handles one command itself and passes the rest on. */
class OwnCommandPanel : public TRndBtnPanel {
public:
    QList<CommandId> own;

protected:
    void DoCommand(QObject *sender, CommandId command) override
    {
        if (command == 1)
            own << command;
        else
            TRndBtnPanel::DoCommand(sender, command);
    }
};

} // namespace

TEST(TRndBtnPanelTest, BuildSetsUpAWhitePanelWithItsBar)
{
    const auto panel = MakePanel();
    EXPECT_EQ(panel->Color(), 0xFFFFFFu);
    EXPECT_EQ(panel->BandColor(), Band);
    ASSERT_NE(panel->Buttons(), nullptr);
    EXPECT_EQ(panel->Buttons()->parentWidget(), panel.get());
    EXPECT_NE(panel->Buttons()->Link(0), nullptr);
    EXPECT_EQ(panel->Buttons()->Link(2), nullptr);
}

TEST(TRndBtnPanelTest, BarIsCentredOnePixelAboveTheBottom)
{
    const auto panel = MakePanel();
    const TTxtBtnPanel *bar = panel->Buttons();
    for (int width : {300, 301, 302}) {
        panel->SetBounds(5, 5, width, 200);
        EXPECT_EQ(panel->geometry(), QRect(5, 5, width, 200));
        EXPECT_EQ(bar->x(), (width - bar->width()) / 2);
        EXPECT_EQ(bar->y(), 200 - bar->height() - 1);
        // An odd difference leaves the extra pixel right of the bar.
        const int right = width - (bar->x() + bar->width());
        EXPECT_EQ(right - bar->x(), (width - bar->width()) % 2);
    }
    // A resize by any other means (a layout) is laid out the same way.
    panel->show();
    ASSERT_TRUE(WindowShown(panel.get()));
    panel->resize(250, 120);
    EXPECT_EQ(bar->y(), 120 - bar->height() - 1);
    EXPECT_EQ(bar->x(), (250 - bar->width()) / 2);
}

TEST(TRndBtnPanelTest, LinkClickArrivesWithTheBarAsSender)
{
    QWidget host;
    auto *panel = new TRndBtnPanel(&host);
    panel->Build({0, 1}, Band, 0x204020, 0xD0F7FF, 0x80A8AB);
    panel->SetBounds(0, 0, 300, 150);
    host.resize(320, 170);
    host.show();
    ASSERT_TRUE(WindowShown(&host));
    QSignalSpy spy(panel, &TRndBtnPanel::OnCommand);
    QTest::mouseClick(panel->Buttons()->Link(1), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<QObject *>(), panel->Buttons());
    EXPECT_EQ(spy.at(0).at(1).value<CommandId>(), 1);
}

TEST(TRndBtnPanelTest, DerivedPanelMayHandleACommandItself)
{
    OwnCommandPanel panel;
    panel.Build({0, 1}, Band, 0x204020, 0xD0F7FF, 0x80A8AB);
    QSignalSpy spy(&panel, &TRndBtnPanel::OnCommand);
    panel.Buttons()->Link(1)->Click();
    panel.Buttons()->Link(0)->Click();
    EXPECT_EQ(panel.own, QList<CommandId>{1});
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).value<CommandId>(), 0);
}

TEST(TRndBtnPanelTest, DisableAndEnableCommandsCoverEveryLink)
{
    const auto panel = MakePanel({5, 6, 7, 8, 9, 10});
    panel->DisableCommands();
    for (CommandId id = 5; id <= 10; ++id)
        EXPECT_FALSE(panel->Buttons()->Link(id)->isEnabled()) << int(id);
    QSignalSpy spy(panel.get(), &TRndBtnPanel::OnCommand);
    panel->Buttons()->Link(7)->Click();
    EXPECT_EQ(spy.count(), 0);
    panel->EnableCommands();
    for (CommandId id = 5; id <= 10; ++id)
        EXPECT_TRUE(panel->Buttons()->Link(id)->isEnabled()) << int(id);
}

TEST(TRndBtnPanelTest, SeparatorLineDirectlyAboveTheBar)
{
    const auto panel = MakePanel();
    panel->SetBounds(0, 0, 300, 150);
    const int y = panel->Buttons()->y() - 1;
    const TColor frame = AdjustLuma(Band, 12);
    EXPECT_EQ(CountPixels(RenderWidget(*panel), QRect(1, y, 298, 1), frame), 0);

    panel->SetShowSeparator(true);
    const QImage image = RenderWidget(*panel);
    EXPECT_EQ(CountPixels(image, QRect(5, y, 290, 1), frame), 290);
    EXPECT_EQ(PixelBGR(image, 4, y), 0xFFFFFFu);
    EXPECT_EQ(PixelBGR(image, 295, y), 0xFFFFFFu);
    EXPECT_EQ(PixelBGR(image, 150, y - 1), 0xFFFFFFu);

    panel->setEnabled(false);
    EXPECT_EQ(CountPixels(RenderWidget(*panel), QRect(5, y, 290, 1), AdjustLuma(0xD0D0D0, 12)), 290);
}
