#include "TRndLVPanel.h"
#include "RenderHelpers.h"
#include "WindowWaits.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

/** @short A model that notes whether the busy cursor was up while it was emptied. */
class RecordingModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    bool busyWhileClearing = false;
    int removals = 0;

    bool removeRows(int row, int count, const QModelIndex &parent = {}) override
    {
        ++removals;
        const QCursor *cursor = QGuiApplication::overrideCursor();
        busyWhileClearing = cursor && cursor->shape() == Qt::WaitCursor;
        return QStandardItemModel::removeRows(row, count, parent);
    }
};

void FillRows(QStandardItemModel &model, int rows)
{
    model.setRowCount(rows);
    model.setColumnCount(2);
    for (int r = 0; r < std::min(rows, 5); ++r) {
        model.setItem(r, 0, new QStandardItem(u"SETTING %1"_s.arg(r)));
        model.setItem(r, 1, new QStandardItem(u"VALUE"_s));
    }
}

class TRndLVPanelTest : public testing::Test {
protected:
    TRndLVPanel *MakePanel()
    {
        auto *panel = new TRndLVPanel(m_host.get());
        panel->Build({0, 1}, 0xB8D8C0, 0x204020, 0xD0F7FF, 0x80A8AB);
        panel->SetBounds(0, 0, 300, 200);
        return panel;
    }

    void ShowHost()
    {
        m_host->resize(320, 220);
        m_host->show();
        m_host->activateWindow();
        ASSERT_TRUE(WindowActive(m_host.get()));
    }

    std::unique_ptr<QWidget> m_host = std::make_unique<QWidget>();
};

} // namespace

TEST_F(TRndLVPanelTest, BuildMakesAFramedReadOnlyTable)
{
    TRndLVPanel *panel = MakePanel();
    ASSERT_NE(panel->Frame(), nullptr);
    ASSERT_NE(panel->List(), nullptr);
    EXPECT_EQ(panel->List()->parentWidget(), panel->Frame());
    EXPECT_EQ(panel->List()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(panel->List()->horizontalHeader()->isVisibleTo(panel));
    EXPECT_TRUE(panel->List()->showGrid());
    EXPECT_EQ(panel->List()->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(panel->List()->palette().color(QPalette::Text), ColorFromBGR(0x202020));
    EXPECT_FALSE(panel->Active());
}

TEST_F(TRndLVPanelTest, FrameAndListGeometry)
{
    TRndLVPanel *panel = MakePanel();
    EXPECT_EQ(panel->Frame()->geometry(), QRect(5, 24, 290, 154));
    EXPECT_EQ(panel->List()->geometry(), QRect(-4, -1, 298, 158));

    panel->SetActive(true);
    EXPECT_EQ(panel->List()->geometry(), QRect(-4, -1, 298, 158));
    panel->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(panel->List()->geometry(), QRect(-4, -1, 292, 155));

    panel->SetShowSeparator(true);
    panel->SetBounds(0, 0, 300, 200);
    EXPECT_EQ(panel->Frame()->geometry(), QRect(5, 24, 290, 150));
}

TEST_F(TRndLVPanelTest, SizedBeforeBuildIsHarmless)
{
    TRndLVPanel panel;
    panel.SetBounds(0, 0, 200, 100);
    panel.SetModel(nullptr);
    panel.ClearItems();
    panel.SetActive(true);
    EXPECT_EQ(panel.List(), nullptr);
    EXPECT_EQ(panel.SelectionModel(), nullptr);
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 200, 100));
}

TEST_F(TRndLVPanelTest, AcceptsAnyModelAndExposesTheSelection)
{
    TRndLVPanel *panel = MakePanel();
    QStandardItemModel model;
    FillRows(model, 3);
    panel->SetModel(&model);
    EXPECT_EQ(panel->Model(), &model);
    ASSERT_NE(panel->SelectionModel(), nullptr);
    EXPECT_EQ(panel->SelectionModel()->model(), &model);
    EXPECT_EQ(panel->List()->model(), &model);
}

TEST_F(TRndLVPanelTest, InactiveTableTakesNoInputButIsNotGreyed)
{
    TRndLVPanel *panel = MakePanel();
    QStandardItemModel model;
    FillRows(model, 3);
    panel->SetModel(&model);
    ShowHost();
    EXPECT_TRUE(panel->List()->isEnabled());
    EXPECT_TRUE(panel->Frame()->isEnabled());
    EXPECT_EQ(panel->List()->focusPolicy(), Qt::NoFocus);

    const QRect row = panel->List()->visualRect(model.index(1, 0));
    const QPoint inFrame = panel->List()->viewport()->mapTo(panel->Frame(), row.center());
    QTest::mouseClick(panel->Frame(), Qt::LeftButton, {}, inFrame);
    EXPECT_FALSE(panel->SelectionModel()->hasSelection());
    EXPECT_FALSE(panel->List()->hasFocus());

    // Rows are drawn in their own dark text colour, not in the disabled grey.
    const QImage image = RenderWidget(*panel->Frame());
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += image.pixelColor(x, y).lightness() < 80 ? 1 : 0;
    EXPECT_GT(dark, 20);
}

TEST_F(TRndLVPanelTest, ActiveTableSelectsWholeRows)
{
    TRndLVPanel *panel = MakePanel();
    QStandardItemModel model;
    FillRows(model, 3);
    panel->SetModel(&model);
    panel->SetActive(true);
    panel->SetBounds(0, 0, 300, 200);
    ShowHost();
    EXPECT_EQ(panel->List()->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(panel->List()->selectionBehavior(), QAbstractItemView::SelectRows);

    const QRect row = panel->List()->visualRect(model.index(1, 0));
    QTest::mouseClick(panel->List()->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_TRUE(panel->SelectionModel()->hasSelection());
    EXPECT_TRUE(panel->SelectionModel()->isRowSelected(1, {}));
    EXPECT_TRUE(panel->List()->hasFocus());

    panel->SetActive(false);
    EXPECT_FALSE(panel->List()->hasFocus());
    EXPECT_EQ(panel->List()->selectionBehavior(), QAbstractItemView::SelectItems);
}

TEST_F(TRndLVPanelTest, SetActiveWithTheSameValueChangesNothing)
{
    TRndLVPanel *panel = MakePanel();
    panel->SetActive(false);
    EXPECT_FALSE(panel->Active());
    EXPECT_EQ(panel->List()->focusPolicy(), Qt::NoFocus);
    panel->SetActive(true);
    panel->List()->setFocusPolicy(Qt::ClickFocus);
    panel->SetActive(true);
    EXPECT_EQ(panel->List()->focusPolicy(), Qt::ClickFocus);
}

TEST_F(TRndLVPanelTest, TwoThousandRowsClearWithoutTheBusyCursor)
{
    TRndLVPanel *panel = MakePanel();
    RecordingModel model;
    FillRows(model, 2000);
    panel->SetModel(&model);
    panel->ClearItems();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.busyWhileClearing);

    FillRows(model, 2001);
    panel->ClearItems();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.busyWhileClearing);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    panel->ClearItems();
    EXPECT_EQ(model.removals, 2);
}

TEST_F(TRndLVPanelTest, SelectionShowsWithoutFocusOnlyWhileActive)
{
    TRndLVPanel *panel = MakePanel();
    QStandardItemModel model;
    FillRows(model, 3);
    panel->SetModel(&model);
    ShowHost();
    const TColor highlight = BGROf(panel->List()->palette().color(QPalette::Active, QPalette::Highlight));
    const auto highlighted = [&] {
        const QImage image = RenderWidget(*panel->Frame());
        return CountPixels(image, image.rect(), highlight);
    };

    panel->SelectionModel()->select(model.index(1, 1), QItemSelectionModel::Select);
    ASSERT_FALSE(panel->List()->hasFocus());
    EXPECT_EQ(highlighted(), 0);

    panel->SetActive(true);
    panel->SelectionModel()->select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_FALSE(panel->List()->hasFocus());
    EXPECT_GT(highlighted(), 100);
}
