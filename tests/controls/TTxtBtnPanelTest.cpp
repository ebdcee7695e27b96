#include "TTxtBtnPanel.h"
#include "RenderHelpers.h"
#include "StartupEnv.h"
#include "TCardLabel.h"
#include "WindowWaits.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <bit>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

/** @short Records the status tips that reach it from its children. */
class StatusTipCatcher : public QObject {
public:
    QStringList tips;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::StatusTip)
            tips << static_cast<QStatusTipEvent *>(event)->tip();
        return false;
    }
};

class TTxtBtnPanelTest : public testing::Test {
protected:
    void SetUp() override { m_savedWorkArea = WorkArea; }
    void TearDown() override { WorkArea = m_savedWorkArea; }

    TTxtBtnPanel *MakeBar(CommandSet commands)
    {
        auto *bar = new TTxtBtnPanel(m_host.get());
        bar->Setup(commands);
        return bar;
    }

    std::unique_ptr<QWidget> m_host = std::make_unique<QWidget>();
    TWorkArea m_savedWorkArea;
};

int SumOfLinkWidths(const TTxtBtnPanel &bar, CommandSet commands)
{
    int sum = 0;
    for (int id = 0; id < CommandCount; ++id)
        if (commands.Contains(static_cast<CommandId>(id)))
            sum += bar.Link(static_cast<CommandId>(id))->width();
    return sum;
}

} // namespace

TEST_F(TTxtBtnPanelTest, DeleteReadsDelOnANarrowWorkArea)
{
    WorkArea.Width = 699;
    EXPECT_EQ(MakeBar({5, 10})->Link(10)->Caption(), u"Del"_s);
    WorkArea.Width = 700;
    EXPECT_EQ(MakeBar({5, 10})->Link(10)->Caption(), u"Delete"_s);
}

TEST_F(TTxtBtnPanelTest, LinksExistOnlyForTheSet)
{
    const CommandSet commands = {5, 6, 7, 8, 9, 10};
    const TTxtBtnPanel *bar = MakeBar(commands);
    for (int id = 0; id < CommandCount; ++id)
        EXPECT_EQ(bar->Link(static_cast<CommandId>(id)) != nullptr, commands.Contains(static_cast<CommandId>(id)));
    EXPECT_EQ(bar->Link(200), nullptr);
    EXPECT_EQ(bar->Link(8)->Caption(), u"Add"_s);
    EXPECT_EQ(bar->Link(8)->Tag(), 8);
}

TEST_F(TTxtBtnPanelTest, WidthIsLinksPlusEighteenPerGap)
{
    for (const CommandSet &commands :
         {CommandSet{0, 1}, CommandSet{2, 3, 4}, CommandSet{5, 6, 7, 8, 9, 10}, CommandSet{19}}) {
        const TTxtBtnPanel *bar = MakeBar(commands);
        const int n = std::popcount(commands.Bits());
        EXPECT_EQ(bar->width(), SumOfLinkWidths(*bar, commands) + 18 * (n - 1));
        const TCardLabel *first = bar->Link(static_cast<CommandId>(std::countr_zero(commands.Bits())));
        EXPECT_EQ(bar->height(), first->height() + 6);
        EXPECT_EQ(first->pos(), QPoint(0, 3));
    }
}

TEST_F(TTxtBtnPanelTest, LinksStandSideBySide)
{
    const TTxtBtnPanel *bar = MakeBar({2, 3, 4});
    EXPECT_EQ(bar->Link(3)->x(), bar->Link(2)->width() + 18);
    EXPECT_EQ(bar->Link(4)->x(), bar->Link(3)->x() + bar->Link(3)->width() + 18);
    EXPECT_EQ(bar->Link(4)->y(), 3);
}

TEST_F(TTxtBtnPanelTest, LookIsBoldDarkBlueOnWhite)
{
    TTxtBtnPanel *bar = MakeBar({0, 1});
    const TCardLabel *link = bar->Link(1);
    EXPECT_TRUE(link->font().bold());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), ColorFromBGR(0x803000));
    EXPECT_EQ(link->DisabledColor(), clBtnFace);
    EXPECT_TRUE(link->IsLink());
    const QImage image = RenderWidget(*bar);
    EXPECT_EQ(PixelBGR(image, bar->width() - 1, 0), 0xFFFFFFu);
}

TEST_F(TTxtBtnPanelTest, SeparatorsSitInTheNinthColumnOfEachGap)
{
    TTxtBtnPanel *bar = MakeBar({5, 6, 7});
    const QImage image = RenderWidget(*bar);
    const int h = bar->height();
    for (CommandId id : {CommandId{5}, CommandId{6}}) {
        const int x = bar->Link(id)->x() + bar->Link(id)->width() + 8;
        EXPECT_EQ(PixelBGR(image, x, 4), 0xFFFFFFu);
        EXPECT_EQ(PixelBGR(image, x, 5), 0x803000u);
        EXPECT_EQ(PixelBGR(image, x, h - 5), 0x803000u);
        EXPECT_EQ(PixelBGR(image, x, h - 4), 0xFFFFFFu);
        EXPECT_EQ(PixelBGR(image, x - 1, h / 2), 0xFFFFFFu);
        EXPECT_EQ(PixelBGR(image, x + 1, h / 2), 0xFFFFFFu);
    }
    // n links, n - 1 separators: each gap column holds one full line.
    const int column5 = bar->Link(5)->x() + bar->Link(5)->width() + 8;
    EXPECT_EQ(CountPixels(image, QRect(column5, 0, 1, h), 0x803000), h - 9);
}

TEST_F(TTxtBtnPanelTest, OneLinkHasNoSeparator)
{
    TTxtBtnPanel *bar = MakeBar({19});
    bar->resize(bar->width() + 30, bar->height());
    const QImage image = RenderWidget(*bar);
    EXPECT_EQ(CountPixels(image, QRect(bar->Link(19)->width(), 0, 30, bar->height()), 0x803000), 0);
}

TEST_F(TTxtBtnPanelTest, ClickRaisesTheCommandWithTheBarAsSender)
{
    TTxtBtnPanel *bar = MakeBar({0, 1});
    auto *edit = new QLineEdit(m_host.get());
    edit->move(0, 100);
    m_host->show();
    m_host->activateWindow();
    ASSERT_TRUE(WindowActive(m_host.get()));
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());

    QSignalSpy spy(bar, &TTxtBtnPanel::OnCommand);
    bool editHadFocusDuringCommand = true;
    QObject::connect(bar, &TTxtBtnPanel::OnCommand, bar,
                     [&](QObject *, CommandId) { editHadFocusDuringCommand = edit->hasFocus(); });
    QTest::mouseClick(bar->Link(1), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<QObject *>(), bar);
    EXPECT_EQ(spy.at(0).at(1).value<CommandId>(), 1);
    EXPECT_FALSE(editHadFocusDuringCommand);
    EXPECT_TRUE(bar->hasFocus());
}

TEST_F(TTxtBtnPanelTest, DisabledLinkReportsNothing)
{
    TTxtBtnPanel *bar = MakeBar({0, 1});
    m_host->show();
    ASSERT_TRUE(WindowShown(m_host.get()));
    QSignalSpy spy(bar, &TTxtBtnPanel::OnCommand);
    bar->SetCommandEnabled(1, false);
    EXPECT_FALSE(bar->Link(1)->isEnabled());
    QTest::mouseClick(bar->Link(1), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 0);
    bar->SetCommandEnabled(1, true);
    QTest::mouseClick(bar->Link(1), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(TTxtBtnPanelTest, EnablingAnIdWithoutLinkChangesNothing)
{
    TTxtBtnPanel *bar = MakeBar({0, 1});
    for (int id = 0; id < 40; ++id)
        bar->SetCommandEnabled(static_cast<CommandId>(id), id == 0 || id == 1);
    bar->SetCommandEnabled(23, false);
    EXPECT_TRUE(bar->Link(0)->isEnabled());
    EXPECT_TRUE(bar->Link(1)->isEnabled());
}

TEST_F(TTxtBtnPanelTest, HintReachesTheWindowAsStatusTipNotTooltip)
{
    TTxtBtnPanel *bar = MakeBar({5, 6});
    StatusTipCatcher catcher;
    m_host->installEventFilter(&catcher);
    const TCardLabel *link = bar->Link(5);
    EXPECT_TRUE(link->toolTip().isEmpty());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(bar->Link(5), &enter);
    ASSERT_FALSE(catcher.tips.isEmpty());
    EXPECT_EQ(catcher.tips.last(), u"Imports list of e-mail addresses"_s);
}

TEST_F(TTxtBtnPanelTest, LinkIsAPushButtonToAssistiveTechnology)
{
    TTxtBtnPanel *bar = MakeBar({7});
    QSignalSpy spy(bar, &TTxtBtnPanel::OnCommand);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(bar->Link(7));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), u"Clear"_s);
    QAccessibleActionInterface *actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).value<CommandId>(), 7);
}

TEST_F(TTxtBtnPanelTest, IdTwentyThreeGetsNoLinkEvenInTheSet)
{
    const TTxtBtnPanel *bar = MakeBar(CommandSet::Range(22, 24));
    EXPECT_EQ(bar->Link(23), nullptr);
    EXPECT_EQ(bar->Link(24)->x(), bar->Link(22)->width() + 18);
    EXPECT_EQ(bar->width(), bar->Link(22)->width() + bar->Link(24)->width() + 18);
}
