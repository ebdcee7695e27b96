#include "UI.h"
#include "TDialogBtnPanel.h"
#include "WindowWaits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class UITest : public testing::Test {
protected:
    std::unique_ptr<QWidget> m_parent = std::make_unique<QWidget>();
};

} // namespace

TEST_F(UITest, LabelShowsTheAmpersandAndSizesItself)
{
    QLabel *label = CreateLabel(m_parent.get(), u"Save & Send"_s, 8, 12);
    EXPECT_EQ(label->parent(), m_parent.get());
    EXPECT_EQ(label->pos(), QPoint(8, 12));
    EXPECT_EQ(label->text(), u"Save & Send"_s);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(u"Save & Send"_s));
    EXPECT_EQ(label->buddy(), nullptr);
}

TEST_F(UITest, WrapLabelIsExactlyItsLinesHigh)
{
    const QString longText = u"This text is far too long for three lines of this narrow label, "
                             "so the label cuts it off at the bottom instead of growing."_s;
    QLabel *label = CreateWrapLabel(m_parent.get(), longText, 4, 6, 120, 3, true);
    const int line = QFontMetrics(label->font()).height();
    EXPECT_EQ(label->geometry(), QRect(4, 6, 120, 3 * line));
    EXPECT_TRUE(label->wordWrap());
    QLabel *single = CreateWrapLabel(m_parent.get(), u"A & B"_s, 4, 60, 120, 1, false);
    EXPECT_EQ(single->height(), line);
    EXPECT_FALSE(single->wordWrap());
    EXPECT_EQ(single->textFormat(), Qt::PlainText);
}

TEST_F(UITest, ListAndComboBoxes)
{
    QListWidget *list = CreateListBox(m_parent.get(), 1, 2, 100, 80);
    EXPECT_EQ(list->geometry(), QRect(1, 2, 100, 80));
    QComboBox *combo = CreateComboBox(m_parent.get(), 5, 6, 150);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->geometry().topLeft(), QPoint(5, 6));
    EXPECT_EQ(combo->width(), 150);
    EXPECT_EQ(combo->height(), combo->sizeHint().height());
}

TEST_F(UITest, ComboBoxRefusesTypedText)
{
    QComboBox *combo = CreateComboBox(m_parent.get(), 0, 0, 150);
    combo->addItems({u"First"_s, u"Second"_s});
    m_parent->show();
    ASSERT_TRUE(WindowShown(m_parent.get()));
    QTest::keyClicks(combo, u"xyz"_s);
    EXPECT_EQ(combo->currentText(), u"First"_s);
    EXPECT_EQ(combo->lineEdit(), nullptr);
}

TEST_F(UITest, CheckBoxAndButtonMarkTheirAccelerator)
{
    QCheckBox *check = CreateCheckBox(m_parent.get(), u"&Save to original"_s, 3, 4, 200);
    EXPECT_EQ(check->geometry(), QRect(3, 4, 200, check->sizeHint().height()));
    EXPECT_EQ(check->shortcut(), QKeySequence::mnemonic(u"&Save to original"_s));
    EXPECT_FALSE(check->shortcut().isEmpty());

    int clickedTag = -1;
    QPushButton *button = CreateButton(
        m_parent.get(), u"&Browse"_s, 17, [&](int tag) { clickedTag = tag; }, 10, 20, 80, 26);
    EXPECT_EQ(button->geometry(), QRect(10, 20, 80, 26));
    EXPECT_FALSE(button->shortcut().isEmpty());
    button->click();
    EXPECT_EQ(clickedTag, 17);
}

TEST_F(UITest, DialogBarIsSetUpAtTheBottomOfTheForm)
{
    QDialog form;
    form.resize(360, 240);
    TDialogBtnPanel *bar = CreateDialogBtnPanel(&form, {bOK, bCancel, bHelp}, true, 8);
    EXPECT_EQ(bar->parent(), &form);
    EXPECT_EQ(bar->geometry(), QRect(0, 190, 360, 50));
    EXPECT_TRUE(bar->ShowSeparator());
    EXPECT_EQ(bar->Margin(), 8);
    ASSERT_NE(bar->Button(bHelp), nullptr);
    EXPECT_TRUE(bar->Button(bOK)->isDefault());
}
