#include "RenderHelpers.h"
#include "TButtonText.h"
#include "TCardLabel.h"
#include "TXPPanel.h"
#include "WindowWaits.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class PnXPTest : public testing::Test {
protected:
    TButtonText *MakeField(int tag, bool pathEllipsis, bool editable)
    {
        auto *field = new TButtonText(m_host.get());
        field->Setup(tag, pathEllipsis, editable);
        field->SetBounds(10, 10, 240, field->height());
        return field;
    }

    void ShowHost()
    {
        m_host->resize(300, 200);
        m_host->show();
        ASSERT_TRUE(WindowShown(m_host.get()));
    }

    std::unique_ptr<QWidget> m_host = std::make_unique<QWidget>();
};

} // namespace

TEST_F(PnXPTest, PanelDrawsItsCaptionWithAlignmentAndLayout)
{
    TXPPanel panel;
    panel.resize(200, 60);
    panel.SetColor(0xFFFFFF);
    QPalette pal = panel.palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    panel.setPalette(pal);
    EXPECT_EQ(panel.Layout(), TXPPanel::LayoutTop);
    panel.SetCaption(u"WWWW"_s);
    panel.SetAlignment(Qt::AlignRight);
    panel.SetLayout(TXPPanel::LayoutBottom);
    const QImage image = RenderWidget(panel);
    // Inside the 1-px border the panel colour; the caption in the bottom-right corner.
    EXPECT_EQ(PixelBGR(image, 1, 1), 0xFFFFFFu);
    EXPECT_NE(PixelBGR(image, 0, 30), 0xFFFFFFu);
    EXPECT_EQ(CountPixels(image, QRect(2, 2, 196, 28), 0xFFFFFF), 196 * 28);
    EXPECT_LT(CountPixels(image, QRect(150, 30, 48, 28), 0xFFFFFF), 48 * 28);
}

TEST_F(PnXPTest, FieldIsOneLinePlusEightHigh)
{
    const TButtonText *field = MakeField(3, false, false);
    ASSERT_NE(field->ValueLabel(), nullptr);
    EXPECT_EQ(field->Edit(), nullptr);
    EXPECT_EQ(field->height(), field->ValueLabel()->height() + 8);
    EXPECT_TRUE(field->ValueLabel()->SingleLine());
    EXPECT_EQ(field->ValueLabel()->Tag(), 3);
    EXPECT_EQ(field->ValueLabel()->x(), 1 + 2);
    EXPECT_EQ(field->Button()->text(), QString(3, QChar(0x00B7)));
    EXPECT_EQ(field->Button()->focusPolicy(), Qt::NoFocus);
}

TEST_F(PnXPTest, ButtonStaysSquareAtTheRightEnd)
{
    TButtonText *field = MakeField(1, true, false);
    for (int width : {240, 180, 400}) {
        field->SetBounds(0, 0, width, field->height());
        const QRect client = field->contentsRect();
        const int s = client.height();
        EXPECT_EQ(field->Button()->geometry(), QRect(client.left() + client.width() - s, client.top(), s, s));
        EXPECT_EQ(field->ValueWidth(), client.width() - s - 4);
        EXPECT_EQ(field->ValueLabel()->MaxWidth(), field->ValueWidth());
    }
    field->SetText(u"/a/very/long/path/that/cannot/possibly/fit/into/the/field/at/all/recipients.csv"_s);
    EXPECT_EQ(field->ValueLabel()->width(), field->ValueWidth());
    EXPECT_TRUE(field->ValueLabel()->PathEllipsis());
}

TEST_F(PnXPTest, FieldNarrowerThanItsButtonShowsNoValue)
{
    TButtonText *field = MakeField(1, false, false);
    field->SetText(u"smtp.example.org"_s);
    for (int width : {0, 10}) {
        field->SetBounds(0, 0, width, field->height());
        EXPECT_LT(field->ValueWidth(), 0);
        EXPECT_EQ(field->ValueLabel()->width(), 0) << width;
    }
}

TEST_F(PnXPTest, NonEditableFieldAnswersEveryClickWithOneHandler)
{
    TButtonText *field = MakeField(7, false, false);
    field->SetText(u"smtp.example.org"_s);
    ShowHost();
    QSignalSpy spy(field, &TButtonText::Clicked);
    QTest::mouseClick(field->ValueLabel(), Qt::LeftButton);
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->ValueWidth() - 2, field->height() / 2));
    QTest::mouseClick(field->Button(), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 3);
    for (const QList<QVariant> &call : spy)
        EXPECT_EQ(call.at(0).toInt(), 7);
}

TEST_F(PnXPTest, EditableFieldAnswersOnlyItsButton)
{
    TButtonText *field = MakeField(9, false, true);
    ASSERT_NE(field->Edit(), nullptr);
    EXPECT_EQ(field->ValueLabel(), nullptr);
    EXPECT_FALSE(field->Edit()->hasFrame());
    ShowHost();
    const QRect client = field->contentsRect();
    EXPECT_EQ(field->Edit()->geometry().left(), client.left() + 2);
    EXPECT_EQ(field->Edit()->width(), field->ValueWidth());

    QSignalSpy spy(field, &TButtonText::Clicked);
    QTest::mouseClick(field->Edit(), Qt::LeftButton);
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->ValueWidth() + 2, 1));
    EXPECT_EQ(spy.count(), 0);
    QTest::mouseClick(field->Button(), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 9);

    field->SetText(u"25"_s);
    QTest::keyClicks(field->Edit(), u"0"_s);
    EXPECT_EQ(field->GetText(), u"250"_s);
}

TEST_F(PnXPTest, DisablingTheFieldDisablesItsParts)
{
    TButtonText *field = MakeField(2, false, false);
    field->setEnabled(false);
    EXPECT_FALSE(field->Button()->isEnabled());
    EXPECT_FALSE(field->ValueLabel()->isEnabled());
    field->setEnabled(true);
    EXPECT_TRUE(field->ValueLabel()->isEnabled());
}
