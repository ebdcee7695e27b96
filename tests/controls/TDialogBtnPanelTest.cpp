#include "TDialogBtnPanel.h"
#include "RenderHelpers.h"
#include "WindowWaits.h"

#include <QAccessible>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class TDialogBtnPanelTest : public testing::Test {
protected:
    TDialogBtnPanel *MakeBar(DialogButtonSet buttons, bool separator = false, int margin = 8)
    {
        m_dialog->resize(400, 200);
        auto *bar = new TDialogBtnPanel(m_dialog.get());
        bar->Setup(buttons, separator, margin);
        return bar;
    }

    static int DefaultCount(const TDialogBtnPanel &bar)
    {
        int n = 0;
        for (int id = 0; id < DialogButtonCount; ++id)
            if (const QPushButton *b = bar.Button(static_cast<DialogButtonId>(id)))
                n += b->isDefault() ? 1 : 0;
        return n;
    }

    std::unique_ptr<QDialog> m_dialog = std::make_unique<QDialog>();
};

} // namespace

TEST_F(TDialogBtnPanelTest, TableRows)
{
    EXPECT_EQ(DialogButtonTable[bOK].Caption, u"&OK"_s);
    EXPECT_EQ(DialogButtonTable[bBack].Caption, u"<< &Back"_s);
    EXPECT_EQ(DialogButtonTable[bNext].Caption, u"&Next >>"_s);
    EXPECT_EQ(DialogButtonTable[bAdd].Caption, DialogButtonTable[bNew].Caption);
    EXPECT_EQ(DialogButtonTable[bSetup].Identifier, u"bSetup"_s);
    EXPECT_EQ(TDialogBtnPanel::ButtonCaption(bViewLog), u"&View Log"_s);
    for (int id = 0; id < DialogButtonCount; ++id) {
        const int result = DialogButtonTable[id].ModalResult;
        const int expected = (id == bOK || id == bSave || id == bProceed || id == bCommit) ? mrOk
                             : (id == bClose || id == bRollback || id == bCancel)          ? mrCancel
                                                                                           : mrNone;
        EXPECT_EQ(result, expected) << id;
    }
}

TEST_F(TDialogBtnPanelTest, BarSitsAtTheBottomOfTheDialog)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel, bHelp});
    EXPECT_EQ(bar->geometry(), QRect(0, 150, 400, 50));
    EXPECT_EQ(bar->objectName(), u"A_DlgBtnPanel"_s);
    m_dialog->show();
    ASSERT_TRUE(WindowShown(m_dialog.get()));
    m_dialog->resize(500, 300);
    EXPECT_EQ(bar->geometry(), QRect(0, 250, 500, 50));
}

TEST_F(TDialogBtnPanelTest, RightGroupReadsInIdOrderFlushWithTheMargin)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel, bHelp}, false, 8);
    const QPushButton *ok = bar->Button(bOK);
    const QPushButton *cancel = bar->Button(bCancel);
    const QPushButton *help = bar->Button(bHelp);
    EXPECT_EQ(help->geometry(), QRect(400 - 8 - 90, 12, 90, 28));
    EXPECT_EQ(cancel->x(), help->x() - 94);
    EXPECT_EQ(ok->x(), cancel->x() - 94);
    EXPECT_EQ(bar->Button(bAdd), nullptr);

    m_dialog->show();
    ASSERT_TRUE(WindowShown(m_dialog.get()));
    m_dialog->resize(640, 200);
    EXPECT_EQ(help->x() + help->width(), 640 - 8);
    EXPECT_EQ(ok->x(), help->x() - 188);
}

TEST_F(TDialogBtnPanelTest, LeftGroupStartsAtTheMargin)
{
    TDialogBtnPanel *bar = MakeBar({bAdd, bDelete, bOK}, false, 16);
    EXPECT_EQ(bar->Button(bAdd)->x(), 16);
    EXPECT_EQ(bar->Button(bDelete)->x(), 16 + 94);
    EXPECT_EQ(bar->Button(bOK)->x() + 90, 400 - 16);
}

TEST_F(TDialogBtnPanelTest, NextHasAWideGapToItsRight)
{
    TDialogBtnPanel *bar = MakeBar({bNext, bCancel});
    EXPECT_TRUE(bar->Button(bNext)->isDefault());
    EXPECT_EQ(DefaultCount(*bar), 1);
    EXPECT_EQ(bar->Button(bCancel)->x() - (bar->Button(bNext)->x() + 90), 20);
}

TEST_F(TDialogBtnPanelTest, DefaultIsTheLowestCandidate)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel});
    EXPECT_TRUE(bar->Button(bOK)->isDefault());
    EXPECT_EQ(DefaultCount(*bar), 1);
    EXPECT_EQ(bar->Button(bOK)->nextInFocusChain(), bar->Button(bCancel));
}

TEST_F(TDialogBtnPanelTest, NoCandidateMeansNoDefaultButton)
{
    TDialogBtnPanel *bar = MakeBar({bAdd, bEdit});
    m_dialog->show();
    ASSERT_TRUE(WindowShown(m_dialog.get()));
    EXPECT_EQ(DefaultCount(*bar), 0);
}

TEST_F(TDialogBtnPanelTest, EmptySetGivesAnEmptyBar)
{
    TDialogBtnPanel *bar = MakeBar({});
    EXPECT_EQ(bar->height(), 50);
    EXPECT_TRUE(bar->findChildren<QPushButton *>().isEmpty());
}

TEST_F(TDialogBtnPanelTest, SeparatorAlongTheTopWithinTheMargins)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel}, true, 16);
    const QImage image = RenderWidget(*bar);
    const TColor line = PixelBGR(image, 200, 0);
    EXPECT_EQ(line, BGROf(ColorFromBGR(clBtnShadow)));
    EXPECT_EQ(PixelBGR(image, 16, 1), line);
    EXPECT_EQ(PixelBGR(image, 383, 1), line);
    EXPECT_NE(PixelBGR(image, 15, 0), line);
    EXPECT_NE(PixelBGR(image, 384, 0), line);
    EXPECT_NE(PixelBGR(image, 200, 2), line);

    TDialogBtnPanel *plain = MakeBar({bOK}, false, 16);
    EXPECT_EQ(CountPixels(RenderWidget(*plain), QRect(0, 0, 400, 2), line), 0);
}

TEST_F(TDialogBtnPanelTest, ButtonsAreNamedByTheirCaption)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel});
    bar->Button(bOK)->setText(u"&Proceed"_s);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(bar->Button(bOK))->text(QAccessible::Name), u"Proceed"_s);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(bar->Button(bCancel))->text(QAccessible::Name), u"Cancel"_s);
}

TEST_F(TDialogBtnPanelTest, OkClosesAfterItsHandlerUnlessKeptOpen)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel});
    m_dialog->show();
    ASSERT_TRUE(WindowShown(m_dialog.get()));
    bool valid = false;
    QList<DialogButtonId> clicks;
    QObject::connect(bar, &TDialogBtnPanel::ButtonClicked, bar, [&](DialogButtonId id) {
        clicks << id;
        if (id == bOK && !valid)
            bar->KeepOpen();
    });
    bar->Button(bOK)->click();
    EXPECT_EQ(clicks, QList<DialogButtonId>{bOK});
    EXPECT_TRUE(m_dialog->isVisible());

    valid = true;
    bar->Button(bOK)->click();
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
}

TEST_F(TDialogBtnPanelTest, ButtonWithoutModalResultLeavesTheDialogOpen)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel, bHelp});
    m_dialog->show();
    ASSERT_TRUE(WindowShown(m_dialog.get()));
    QSignalSpy spy(bar, &TDialogBtnPanel::ButtonClicked);
    bar->Button(bHelp)->click();
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(m_dialog->isVisible());
}

TEST_F(TDialogBtnPanelTest, EscapeRunsTheCancelHandlerThenRejects)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel});
    auto *edit = new QLineEdit(m_dialog.get());
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(WindowActive(m_dialog.get()));
    edit->setFocus();
    QList<DialogButtonId> clicks;
    QObject::connect(bar, &TDialogBtnPanel::ButtonClicked, bar, [&](DialogButtonId id) { clicks << id; });
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(clicks, QList<DialogButtonId>{bCancel});
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
}

TEST_F(TDialogBtnPanelTest, EscapeWithDisabledCancelDoesNothing)
{
    TDialogBtnPanel *bar = MakeBar({bBack, bNext, bClose});
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(WindowActive(m_dialog.get()));
    QSignalSpy spy(bar, &TDialogBtnPanel::ButtonClicked);
    bar->Button(bClose)->setEnabled(false);
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(m_dialog->isVisible());
}

TEST_F(TDialogBtnPanelTest, EnterPressesTheDefaultButton)
{
    TDialogBtnPanel *bar = MakeBar({bOK, bCancel});
    auto *edit = new QLineEdit(m_dialog.get());
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(WindowActive(m_dialog.get()));
    edit->setFocus();
    QSignalSpy spy(bar, &TDialogBtnPanel::ButtonClicked);
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<DialogButtonId>(), bOK);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
}
