#include "TVTxtBtnPanel.h"
#include "RenderHelpers.h"
#include "StartupEnv.h"
#include "TCardLabel.h"
#include "WindowWaits.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const CommandSet EmailCommands = CommandSet::Range(14, 22) + CommandSet{25};
constexpr TColor LineColour = 0x80C0FF;

class TVTxtBtnPanelTest : public testing::Test {
protected:
    TVTxtBtnPanel *MakeBar(CommandSet commands)
    {
        auto *bar = new TVTxtBtnPanel(m_host.get());
        bar->Setup(commands, LineColour);
        return bar;
    }

    std::unique_ptr<QWidget> m_host = std::make_unique<QWidget>();
};

/** The rows of column x that hold the line colour. */
QList<int> LineRows(const QImage &image, int x)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (PixelBGR(image, x, y) == LineColour)
            rows << y;
    return rows;
}

} // namespace

TEST_F(TVTxtBtnPanelTest, LinksStackWithGapsAboveSeparatorCommands)
{
    const TVTxtBtnPanel *bar = MakeBar(EmailCommands);
    int top = 1;
    int widest = 0;
    for (int id = 14; id <= 25; ++id) {
        const TCardLabel *link = bar->Link(static_cast<CommandId>(id));
        if (!EmailCommands.Contains(static_cast<CommandId>(id))) {
            EXPECT_EQ(link, nullptr);
            continue;
        }
        if (id == 18 || id == 22)
            top += 6;
        EXPECT_EQ(link->pos(), QPoint(5, top)) << "command " << id;
        top += link->height();
        widest = std::max(widest, link->width());
    }
    EXPECT_EQ(bar->LinkWidth(), widest);
    EXPECT_EQ(bar->geometry(), QRect(0, 0, widest + 10, 0));
    EXPECT_EQ(bar->LineColor(), LineColour);
}

TEST_F(TVTxtBtnPanelTest, LinesAboveHtmlPreviewAndHelpOnly)
{
    TVTxtBtnPanel *bar = MakeBar(EmailCommands);
    bar->resize(bar->width(), 400);
    const QImage image = RenderWidget(*bar);
    EXPECT_EQ(LineRows(image, 5), (QList<int>{bar->Link(18)->y() - 3, bar->Link(22)->y() - 3}));
    // From x = 5 to LinkWidth + 5, the end point left out.
    const int y = bar->Link(18)->y() - 3;
    EXPECT_EQ(PixelBGR(image, 4, y), 0xF0FFFFu);
    EXPECT_EQ(PixelBGR(image, bar->LinkWidth() + 4, y), LineColour);
    EXPECT_EQ(PixelBGR(image, bar->LinkWidth() + 5, y), 0xF0FFFFu);
}

TEST_F(TVTxtBtnPanelTest, ExitGetsAThirdLine)
{
    TVTxtBtnPanel *bar = MakeBar(EmailCommands + CommandSet{24, 26});
    bar->resize(bar->width(), 400);
    const QImage image = RenderWidget(*bar);
    EXPECT_EQ(LineRows(image, 5), (QList<int>{bar->Link(18)->y() - 3, bar->Link(22)->y() - 3, bar->Link(26)->y() - 3}));
    EXPECT_EQ(bar->Link(24)->y(), bar->Link(22)->y() + bar->Link(22)->height());
}

TEST_F(TVTxtBtnPanelTest, DeleteIsNeverShortened)
{
    const TWorkArea saved = WorkArea;
    WorkArea.Width = 600;
    EXPECT_EQ(MakeBar({10})->Link(10)->Caption(), u"Delete"_s);
    WorkArea = saved;
}

TEST_F(TVTxtBtnPanelTest, NewCaptionResizesTheLinkOnly)
{
    TVTxtBtnPanel *bar = MakeBar(EmailCommands);
    const QRect barBefore = bar->geometry();
    const int linkWidth = bar->LinkWidth();
    bar->SetCommandCaption(14, u"Send Next Batch"_s);
    const TCardLabel *link = bar->Link(14);
    EXPECT_EQ(link->Caption(), u"Send Next Batch"_s);
    EXPECT_EQ(link->width(), QFontMetrics(link->font()).horizontalAdvance(u"Send Next Batch"_s));
    EXPECT_EQ(bar->geometry(), barBefore);
    EXPECT_EQ(bar->LinkWidth(), linkWidth);
}

TEST_F(TVTxtBtnPanelTest, EqualCaptionCausesNoRepaint)
{
    TVTxtBtnPanel *bar = MakeBar(EmailCommands);
    bar->resize(bar->width(), 300);
    m_host->resize(300, 320);
    m_host->show();
    ASSERT_TRUE(WindowShown(m_host.get()));
    QCoreApplication::processEvents();

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    bar->Link(14)->installEventFilter(&counter);
    bar->SetCommandCaption(14, u"Send All Remaining"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    bar->SetCommandCaption(14, u"Send Next Batch"_s);
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
}

TEST_F(TVTxtBtnPanelTest, ClickAndEnablingWorkAsOnTheHorizontalBar)
{
    TVTxtBtnPanel *bar = MakeBar(EmailCommands);
    bar->resize(bar->width(), 300);
    m_host->show();
    ASSERT_TRUE(WindowShown(m_host.get()));
    QSignalSpy spy(bar, &TVTxtBtnPanel::OnCommand);
    bar->SetCommandEnabled(17, false);
    QTest::mouseClick(bar->Link(17), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 0);
    QTest::mouseClick(bar->Link(16), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<QObject *>(), bar);
    EXPECT_EQ(spy.at(0).at(1).value<CommandId>(), 16);
    EXPECT_EQ(bar->Link(16)->statusTip(), CommandHints[16]);
}

TEST_F(TVTxtBtnPanelTest, IdTwentyThreeGetsNoLinkEvenInTheSet)
{
    const TVTxtBtnPanel *bar = MakeBar(CommandSet::Range(22, 24));
    EXPECT_EQ(bar->Link(23), nullptr);
    EXPECT_EQ(bar->Link(24)->y(), bar->Link(22)->y() + bar->Link(22)->height());
}
