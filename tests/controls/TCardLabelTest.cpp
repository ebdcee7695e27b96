#include "TCardLabel.h"
#include "CardText.h"
#include "RenderHelpers.h"
#include "WindowWaits.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr TColor Magenta = 0xFF00FF;

class TCardLabelTest : public testing::Test {
protected:
    TCardLabel *MakeLabel(const QString &caption)
    {
        auto *label = new TCardLabel(m_host.get());
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(pal);
        label->SetCaption(caption);
        return label;
    }

    static int LineHeightOf(const TCardLabel &label) { return QFontMetrics(label.font()).height(); }

    static void SendEnter(QWidget *widget)
    {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &enter);
    }

    static void SendLeave(QWidget *widget)
    {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
    }

    std::unique_ptr<QWidget> m_host = std::make_unique<QWidget>();
};

/** A caption of capitals only, so no descender reaches the bottom row of a line. */
const QString ThreeLineText = u"ALPHA BRAVO CHARLIE DELTA ECHO FOXTROT HOTEL INDIA JULIET KILO LIMA MIKE"_s;

} // namespace

TEST_F(TCardLabelTest, FitsItselfToItsCaption)
{
    TCardLabel *label = MakeLabel(u"Send All Remaining"_s);
    const QFontMetrics metrics(label->font());
    EXPECT_EQ(label->width(), metrics.horizontalAdvance(u"Send All Remaining"_s));
    EXPECT_EQ(label->height(), metrics.height());
    label->SetCaption(u"Line one\nLine two, longer"_s);
    EXPECT_EQ(label->width(), metrics.horizontalAdvance(u"Line two, longer"_s));
    EXPECT_EQ(label->height(), 2 * metrics.height());
    label->SetCaption(QString());
    EXPECT_EQ(label->height(), metrics.height());
}

TEST_F(TCardLabelTest, MaxWidthBoundsTheWidth)
{
    const QString text = u"A value text long enough to need far more than one hundred pixels"_s;
    TCardLabel *label = MakeLabel(text);
    const int natural = QFontMetrics(label->font()).horizontalAdvance(text);
    ASSERT_GT(natural, 100);
    EXPECT_EQ(label->width(), natural);
    label->SetMaxWidth(100);
    EXPECT_EQ(label->width(), 100);
    label->SetBounds(0, 0, 300, label->height());
    EXPECT_EQ(label->width(), 100);
    label->SetMaxWidth(-1);
    EXPECT_EQ(label->width(), natural);
}

TEST_F(TCardLabelTest, EqualMaxWidthChangesNothing)
{
    TCardLabel *label = MakeLabel(u"A value text long enough to need far more than one hundred pixels"_s);
    label->SetMaxWidth(100);
    label->setGeometry(0, 0, 50, label->height());
    label->SetMaxWidth(100);
    EXPECT_EQ(label->width(), 50);
}

TEST_F(TCardLabelTest, RightAlignedLabelKeepsItsRightEdge)
{
    TCardLabel *label = MakeLabel(u"Wide caption text"_s);
    label->SetAlignment(Qt::AlignRight);
    label->move(200, 10);
    const int right = label->x() + label->width();
    label->SetCaption(u"Short"_s);
    EXPECT_EQ(label->x() + label->width(), right);
}

TEST_F(TCardLabelTest, AmpersandIsShownAsItself)
{
    TCardLabel *label = MakeLabel(u"Fish & Chips"_s);
    EXPECT_EQ(label->width(), QFontMetrics(label->font()).horizontalAdvance(u"Fish & Chips"_s));
}

TEST_F(TCardLabelTest, MultiLineOverflowShowsDottedMarkUnderLastWholeLine)
{
    TCardLabel *label = MakeLabel(ThreeLineText);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    const int lh = LineHeightOf(*label);
    const int w = QFontMetrics(label->font()).horizontalAdvance(u"ALPHA BRAVO CHARLIE"_s) + 4;
    ASSERT_GE(CardTextLines(label->font(), ThreeLineText, w, true).size(), 3);
    label->SetBounds(0, 0, w, 2 * lh + lh / 2);
    const QImage image = RenderWidget(*label);
    EXPECT_TRUE(label->Overflow());
    EXPECT_EQ(label->LineHeight(), lh);
    const int y = 2 * lh - 1;
    const TColor mark = PixelBGR(image, 0, y);
    EXPECT_EQ(mark, BGROf(ColorFromBGR(clBtnShadow)));
    int x = 0;
    for (; x < w - 5; x += 6)
        EXPECT_EQ(PixelBGR(image, x, y), mark) << x;
    EXPECT_NE(PixelBGR(image, 3, y), mark);
    EXPECT_EQ(CountPixels(image, QRect(w - 5, y, 5, 1), mark), 0);
    // The partly visible third line is not drawn.
    EXPECT_EQ(CountPixels(image, QRect(0, 2 * lh, w, lh / 2), Magenta), w * (lh / 2));
    EXPECT_LT(CountPixels(image, QRect(0, 0, w, lh - 1), Magenta), w * (lh - 1));

    label->SetCaption(u"ALPHA"_s);
    EXPECT_FALSE(label->Overflow());
}

TEST_F(TCardLabelTest, TextThatFitsHasNoMark)
{
    TCardLabel *label = MakeLabel(u"ALPHA BRAVO"_s);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetBounds(0, 0, 300, 3 * LineHeightOf(*label));
    const QImage image = RenderWidget(*label);
    EXPECT_FALSE(label->Overflow());
    EXPECT_EQ(CountPixels(image, QRect(0, 3 * LineHeightOf(*label) - 1, 300, 1), Magenta), 300);
}

TEST_F(TCardLabelTest, LabelLowerThanALineDrawsOnlyTheMark)
{
    TCardLabel *label = MakeLabel(u"ALPHA"_s);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 40, LineHeightOf(*label) - 3);
    QImage image = RenderWidget(*label);
    EXPECT_TRUE(label->Overflow());
    const int marks = (40 - 5 + 5) / 6;
    EXPECT_EQ(CountPixels(image, image.rect(), Magenta), 40 * image.height() - marks);
    EXPECT_EQ(PixelBGR(image, 0, 0), BGROf(ColorFromBGR(clBtnShadow)));

    label->SetCaption(QString());
    label->SetBounds(0, 0, 40, LineHeightOf(*label) - 3);
    image = RenderWidget(*label);
    EXPECT_FALSE(label->Overflow());
    EXPECT_EQ(CountPixels(image, image.rect(), Magenta), 40 * image.height());
}

TEST_F(TCardLabelTest, HotOnlyForEnabledLinksWithoutCapture)
{
    TCardLabel *label = MakeLabel(u"Import"_s);
    SendEnter(label);
    EXPECT_FALSE(label->Hot());

    label->SetIsLink(true);
    SendEnter(label);
    EXPECT_TRUE(label->Hot());
    SendLeave(label);
    EXPECT_FALSE(label->Hot());

    label->setEnabled(false);
    SendEnter(label);
    EXPECT_FALSE(label->Hot());
    label->setEnabled(true);

    m_host->show();
    ASSERT_TRUE(WindowShown(m_host.get()));
    SendLeave(label);
    // A button held down over another control: that control has the mouse.
    auto *other = new QWidget(m_host.get());
    other->setGeometry(0, 50, 20, 20);
    other->show();
    QTest::mousePress(other, Qt::LeftButton);
    SendEnter(label);
    EXPECT_FALSE(label->Hot());
    QTest::mouseRelease(other, Qt::LeftButton);
    SendEnter(label);
    EXPECT_TRUE(label->Hot());
}

TEST_F(TCardLabelTest, HotLinkIsBlueAndUnderlined)
{
    TCardLabel *label = MakeLabel(u"IMPORT LIST"_s);
    label->SetIsLink(true);
    EXPECT_EQ(label->HotColor(), 0xFF0000u);
    EXPECT_EQ(CountPixels(RenderWidget(*label), label->rect(), 0xFF0000), 0);
    SendEnter(label);
    const QImage image = RenderWidget(*label);
    int longestRow = 0;
    for (int y = 0; y < image.height(); ++y)
        longestRow = std::max(longestRow, CountPixels(image, QRect(0, y, image.width(), 1), 0xFF0000));
    EXPECT_GT(longestRow, image.width() * 8 / 10);
}

TEST_F(TCardLabelTest, DisabledLabelDrawsInItsDisabledColour)
{
    TCardLabel *label = MakeLabel(u"EXPORT"_s);
    label->SetDisabledColor(0x0000FF);
    EXPECT_EQ(CountPixels(RenderWidget(*label), label->rect(), 0x0000FF), 0);
    label->setEnabled(false);
    EXPECT_GT(CountPixels(RenderWidget(*label), label->rect(), 0x0000FF), 0);
    EXPECT_EQ(TCardLabel().DisabledColor(), clBtnShadow);
}

TEST_F(TCardLabelTest, LinkShowsTheHandCursor)
{
    TCardLabel *label = MakeLabel(u"Edit"_s);
    label->SetIsLink(true);
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    label->SetIsLink(false);
    EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(TCardLabelTest, ClickWhileEnabledOnly)
{
    TCardLabel *label = MakeLabel(u"Add"_s);
    m_host->show();
    ASSERT_TRUE(WindowShown(m_host.get()));
    QSignalSpy spy(label, &TCardLabel::clicked);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    label->setEnabled(false);
    QTest::mouseClick(label, Qt::LeftButton);
    label->Click();
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(TCardLabelTest, AccessibleRoleFollowsIsLink)
{
    TCardLabel *label = MakeLabel(u"Fish & Chips"_s);
    QSignalSpy spy(label, &TCardLabel::clicked);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::StaticText);
    EXPECT_EQ(iface->text(QAccessible::Name), u"Fish & Chips"_s);
    EXPECT_FALSE(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(spy.count(), 0);

    label->SetIsLink(true);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    label->SetCaption(u"Export"_s);
    EXPECT_EQ(iface->text(QAccessible::Name), u"Export"_s);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(spy.count(), 1);

    label->setEnabled(false);
    EXPECT_FALSE(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(spy.count(), 1);
}
