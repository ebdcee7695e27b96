#include "FormPlacement.h"
#include "HangGuard.h"
#include "IniFile.h"
#include "StartupEnv.h"
#include "WindowWaits.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class FormPlacementTest : public testing::Test {
protected:
    void SetUp() override { WorkArea = {0, 0, desktop.width(), desktop.height()}; }
    void TearDown() override { WorkArea = saved; }

    void Store(int left, int top, int width, int height, int ppi, bool maximized)
    {
        const QStringList keys{u"Left"_s, u"Top"_s, u"Width"_s, u"Height"_s, u"PPI"_s, u"Maximized"_s};
        const int values[] = {left, top, width, height, ppi, maximized ? 1 : 0};
        for (qsizetype i = 0; i < keys.size(); ++i)
            ini.WriteInteger(section, keys[i], values[i]);
    }

    const TWorkArea saved = WorkArea;
    const QString section = u"FormSizePos"_s;
    const QSize desktop = QGuiApplication::primaryScreen()->virtualGeometry().size();
    const int ppi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
    QTemporaryDir dir;
    IniFile ini{dir.filePath(u"place.ini"_s)};
    QWidget form;
    bool maximized = false;
};

} // namespace

TEST_F(FormPlacementTest, CentringShrinksToTheWorkArea)
{
    WorkArea = {10, 20, 800, 600};
    form.resize(1000, 301);
    CenterOnWorkArea(&form);
    EXPECT_EQ(form.geometry(), QRect(10, 20 + 299 / 2, 800, 301));
}

TEST_F(FormPlacementTest, PlacementAtAnotherResolutionIsIgnored)
{
    form.setGeometry(30, 40, 500, 450);
    Store(0, 0, 700, 700, ppi + 24, false);
    maximized = true;
    LoadFormPos(&form, ini, section, maximized);
    EXPECT_EQ(form.geometry(), QRect(30, 40, 500, 450));
    EXPECT_TRUE(maximized);
}

TEST_F(FormPlacementTest, StoredBoundsArePulledOntoTheDesktop)
{
    Store(-50, 5, 200, 200, ppi, true);
    LoadFormPos(&form, ini, section, maximized);
    EXPECT_EQ(form.geometry(), QRect(0, 5, 400, 400));
    EXPECT_TRUE(maximized);

    Store(5, 5, desktop.width() + 500, 450, ppi, false);
    LoadFormPos(&form, ini, section, maximized);
    EXPECT_EQ(form.geometry(), QRect(0, 5, desktop.width(), 450));

    Store(desktop.width() - 100, desktop.height() - 100, 420, 410, ppi, false);
    LoadFormPos(&form, ini, section, maximized);
    EXPECT_EQ(form.geometry(), QRect(desktop.width() - 420, desktop.height() - 410, 420, 410));
}

TEST_F(FormPlacementTest, MaximisedWindowSavesItsNormalBounds)
{
    form.setGeometry(50, 60, 450, 420);
    form.show();
    ASSERT_TRUE(WindowShown(&form));
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.isMaximized(); }, HangGuardMs))
        << "the window was still not maximised after " << HangGuardMs / 1000 << " s";
    SaveFormPos(&form, ini, section);
    EXPECT_EQ(ini.ReadSection(section),
              QStringList({u"Left"_s, u"Top"_s, u"Width"_s, u"Height"_s, u"PPI"_s, u"Maximized"_s}));
    EXPECT_EQ(ini.ReadString(section, u"Maximized"_s, {}), u"1"_s);

    QWidget other;
    LoadFormPos(&other, ini, section, maximized);
    EXPECT_EQ(other.geometry(), QRect(50, 60, 450, 420));
    EXPECT_TRUE(maximized);
}

TEST_F(FormPlacementTest, DialogAtAPointStaysOnTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget dialog;
    dialog.resize(300, 200);
    MoveInsideWorkArea(&dialog, area.topLeft() + QPoint(20, 30));
    EXPECT_EQ(dialog.pos(), area.topLeft() + QPoint(20, 30));
    // Near the right and bottom edges it moves back in, whole.
    MoveInsideWorkArea(&dialog, area.bottomRight() - QPoint(10, 10));
    EXPECT_TRUE(area.contains(QRect(dialog.pos(), dialog.size()))) << dialog.x() << ',' << dialog.y();
    MoveInsideWorkArea(&dialog, area.topLeft() - QPoint(50, 50));
    EXPECT_EQ(dialog.pos(), area.topLeft());
}
