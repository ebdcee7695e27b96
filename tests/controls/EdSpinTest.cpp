#include "EdSpin.h"

#include "WindowWaits.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

TEST(SpinTextValueTest, TrailingJunkIsDropped)
{
    EXPECT_EQ(SpinTextValue(u"12 s"_s, 5), 12);
    EXPECT_EQ(SpinTextValue(u"12sec"_s, 5), 12);
    EXPECT_EQ(SpinTextValue(u"-7"_s, 5), -7);
    EXPECT_EQ(SpinTextValue(u"+8"_s, 5), 8);
    EXPECT_EQ(SpinTextValue(u"0025"_s, 5), 25);
}

TEST(SpinTextValueTest, AnythingElseGivesTheFallback)
{
    for (const QString &text : {QString(), u"-"_s, u"+"_s, u"abc"_s, u"1a2"_s, u" 12"_s, u"1-2"_s, u"--3"_s, u"1 2"_s})
        EXPECT_EQ(SpinTextValue(text, 42), 42) << text.toStdString();
}

TEST(SpinTextValueTest, HugeNumbersStopAtTheLimits)
{
    EXPECT_EQ(SpinTextValue(u"99999999999999999999"_s, 0), std::numeric_limits<int>::max());
    EXPECT_EQ(SpinTextValue(u"-99999999999999999999"_s, 0), std::numeric_limits<int>::min());
    EXPECT_EQ(SpinTextValue(u"2147483647"_s, 0), std::numeric_limits<int>::max());
    EXPECT_EQ(SpinTextValue(u"-2147483648"_s, 0), std::numeric_limits<int>::min());
}

TEST(ClampSpinTest, EqualBoundsMeanNoBounds)
{
    EXPECT_EQ(ClampSpin(-50, 0, 0), -50);
    EXPECT_EQ(ClampSpin(123456, 0, 0), 123456);
    EXPECT_EQ(ClampSpin(0, 1, 9999), 1);
    EXPECT_EQ(ClampSpin(10000, 1, 9999), 9999);
    EXPECT_EQ(ClampSpin(25, 1, 9999), 25);
}

namespace {

class EdSpinTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_dialog = std::make_unique<QDialog>();
        m_dialog->resize(300, 200);
        m_ok = new QPushButton(u"OK"_s, m_dialog.get());
        m_ok->setDefault(true);
        m_ok->move(200, 150);
        QObject::connect(m_ok, &QPushButton::clicked, m_dialog.get(), &QDialog::accept);
        m_spin = new TIntSpinEdit(m_dialog.get());
        m_spin->setGeometry(10, 10, 120, 24);
        m_spin->SetMin(1);
        m_spin->SetMax(9999);
        m_spin->SetValue(25);
        m_dialog->show();
        m_dialog->activateWindow();
        ASSERT_TRUE(WindowActive(m_dialog.get()));
        m_spin->setFocus();
        ASSERT_TRUE(m_spin->hasFocus());
    }

    void Retype(const QString &text)
    {
        m_spin->selectAll();
        QTest::keyClicks(m_spin, text);
    }

    std::unique_ptr<QDialog> m_dialog;
    QPushButton *m_ok = nullptr;
    TIntSpinEdit *m_spin = nullptr;
};

} // namespace

TEST_F(EdSpinTest, ConstructionDefaults)
{
    const TIntSpinEdit spin;
    EXPECT_EQ(spin.Value(), 0);
    EXPECT_EQ(spin.text(), u"0"_s);
    EXPECT_EQ(spin.Increment(), 1);
    EXPECT_TRUE(spin.Editable());
    EXPECT_TRUE(spin.Suffix().isEmpty());
    EXPECT_TRUE(spin.IsValidChar(u'7'));
    EXPECT_TRUE(spin.IsValidChar(u'-'));
    EXPECT_TRUE(spin.IsValidChar(QChar(8)));
    EXPECT_FALSE(spin.IsValidChar(u'.'));
    EXPECT_FALSE(spin.IsValidChar(u','));
    EXPECT_FALSE(spin.IsValidChar(u'a'));

    const TSpinEdit plain;
    EXPECT_EQ(plain.text(), u"0"_s);
    EXPECT_TRUE(plain.IsValidChar(QLocale().decimalPoint().at(0)));
}

TEST_F(EdSpinTest, LettersAndSeparatorsAreNotTyped)
{
    Retype(u"12"_s);
    QTest::keyClicks(m_spin, u"a.,x"_s);
    EXPECT_EQ(m_spin->text(), u"12"_s);
}

TEST_F(EdSpinTest, EnterValidatesSelectsAndStaysInTheDialog)
{
    QSignalSpy changed(m_spin, &TSpinEdit::OnValueChange);
    Retype(u"12345"_s);
    QTest::keyClick(m_spin, Qt::Key_Return);
    EXPECT_EQ(m_spin->text(), u"9999"_s);
    EXPECT_EQ(m_spin->Value(), 9999);
    EXPECT_EQ(m_spin->selectedText(), u"9999"_s);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), 0);
}

TEST_F(EdSpinTest, InvalidTextFallsBackToTheValue)
{
    Retype(u"-"_s);
    QTest::keyClick(m_spin, Qt::Key_Enter);
    EXPECT_EQ(m_spin->Value(), 25);
    EXPECT_EQ(m_spin->text(), u"25"_s);
    Retype(QString());
    QTest::keyClick(m_spin, Qt::Key_Backspace);
    QTest::keyClick(m_spin, Qt::Key_Enter);
    EXPECT_EQ(m_spin->text(), u"25"_s);
}

TEST_F(EdSpinTest, ArrowsStopAtTheBounds)
{
    m_spin->SetValue(9999);
    QTest::keyClick(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->Value(), 9999);
    m_spin->SetValue(1);
    QTest::keyClick(m_spin, Qt::Key_Down);
    EXPECT_EQ(m_spin->Value(), 1);
    QTest::mouseClick(m_spin->UpArrow(), Qt::LeftButton);
    EXPECT_EQ(m_spin->Value(), 2);
    QTest::mouseClick(m_spin->DownArrow(), Qt::LeftButton);
    EXPECT_EQ(m_spin->Value(), 1);
}

TEST_F(EdSpinTest, StepStartsFromTheTypedText)
{
    Retype(u"40"_s);
    m_spin->SetIncrement(5);
    QSignalSpy upDown(m_spin, &TSpinEdit::OnUpDown);
    QList<int> order;
    QObject::connect(m_spin, &TSpinEdit::OnAfterStep, m_spin, [&] { order << 1; });
    QObject::connect(m_spin, &TSpinEdit::OnValueChange, m_spin, [&] { order << 2; });
    QTest::keyClick(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->Value(), 45);
    EXPECT_EQ(order, (QList<int>{1, 2}));
    ASSERT_EQ(upDown.count(), 1);
    EXPECT_EQ(upDown.at(0).at(0).value<UpDownButton>(), UpDownButton::Up);
}

TEST_F(EdSpinTest, OnStepComputesTheNextValue)
{
    m_spin->OnStep = [](TIntSpinEdit *, UpDownButton button, int &value) {
        value = button == UpDownButton::Up ? value * 2 : value / 2;
    };
    QTest::keyClick(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->Value(), 50);
    QTest::keyClick(m_spin, Qt::Key_Down);
    EXPECT_EQ(m_spin->Value(), 25);
}

TEST_F(EdSpinTest, NoBoundsWhenMinEqualsMax)
{
    m_spin->SetMin(0);
    m_spin->SetMax(0);
    m_spin->SetValue(-300);
    EXPECT_EQ(m_spin->Value(), -300);
    m_spin->SetValue(std::numeric_limits<int>::max());
    QTest::keyClick(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->Value(), std::numeric_limits<int>::max());
}

TEST_F(EdSpinTest, LeavingTheFieldValidates)
{
    auto *other = new QPushButton(u"Other"_s, m_dialog.get());
    other->move(10, 100);
    other->show();
    Retype(u"0"_s);
    QTest::keyClick(m_spin, Qt::Key_Tab);
    EXPECT_FALSE(m_spin->hasFocus());
    EXPECT_EQ(m_spin->text(), u"1"_s);
    EXPECT_EQ(m_spin->Value(), 1);
}

TEST_F(EdSpinTest, UpAndDownKeysWorkWhenNotEditable)
{
    m_spin->SetEditable(false);
    QTest::keyClicks(m_spin, u"7"_s);
    EXPECT_EQ(m_spin->text(), u"25"_s);
    QTest::keyClick(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->Value(), 26);
    QTest::keyClick(m_spin, Qt::Key_Backspace);
    EXPECT_EQ(m_spin->text(), u"26"_s);
}

TEST_F(EdSpinTest, PasteIsTakenOnlyWhenWhollyValid)
{
    m_spin->clear();
    QApplication::clipboard()->setText(u"12a"_s);
    QTest::keySequence(m_spin, QKeySequence::Paste);
    EXPECT_TRUE(m_spin->text().isEmpty());
    QApplication::clipboard()->setText(u" 8080\n"_s);
    QTest::keySequence(m_spin, QKeySequence::Paste);
    EXPECT_EQ(m_spin->text(), u"8080"_s);
    // Another way in (the context menu) meets the same character check.
    m_spin->selectAll();
    QApplication::clipboard()->setText(u"port"_s);
    m_spin->paste();
    EXPECT_EQ(m_spin->text(), u"8080"_s);
}

TEST_F(EdSpinTest, DisablingDisablesTheArrows)
{
    m_spin->setEnabled(false);
    EXPECT_FALSE(m_spin->UpDown()->isEnabled());
    EXPECT_FALSE(m_spin->UpArrow()->isEnabled());
    m_spin->setEnabled(true);
    EXPECT_TRUE(m_spin->UpArrow()->isEnabled());
}

TEST_F(EdSpinTest, ArrowsSitInsideTheRightEdge)
{
    const QRect arrows = m_spin->UpDown()->geometry();
    EXPECT_LE(arrows.right(), m_spin->width() - 1);
    EXPECT_GE(arrows.left(), m_spin->width() - 40);
    EXPECT_GE(m_spin->textMargins().right(), arrows.width());
    const int gap = m_spin->width() - 1 - arrows.right();
    m_spin->resize(200, 30);
    EXPECT_EQ(m_spin->UpDown()->geometry().right(), 200 - 1 - gap);
    EXPECT_EQ(m_spin->UpDown()->width(), arrows.width());
}

TEST_F(EdSpinTest, SuffixIsWrittenAndIgnored)
{
    m_spin->SetSuffix(u" s"_s);
    m_spin->SetValue(30);
    EXPECT_EQ(m_spin->text(), u"30 s"_s);
    EXPECT_EQ(m_spin->GetValue(), 30);
    QTest::keyClick(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->text(), u"31 s"_s);
}

TEST_F(EdSpinTest, DeleteKeyDeletesWithoutABeep)
{
    // X11 delivers the Delete key with the character 0x7F; it types nothing and is no invalid character.
    m_spin->setText(u"123"_s);
    m_spin->setCursorPosition(0);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
    QCoreApplication::sendEvent(m_spin, &press);
    EXPECT_EQ(m_spin->text(), u"23"_s);
    m_spin->SetEditable(false);
    QCoreApplication::sendEvent(m_spin, &press);
    EXPECT_EQ(m_spin->text(), u"23"_s);
}
