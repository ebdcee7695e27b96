#include "MsgDlgs.h"

#include "WindowWaits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Hands the next modal message box to check(), which must close it.
void WithNextBox(std::function<void(QMessageBox *)> check)
{
    QTimer::singleShot(0, qApp, [check]() mutable {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            check(box);
        else
            WithNextBox(std::move(check));
    });
}

} // namespace

TEST(MsgDlgsTest, InformationBoxShowsPlainTextWithOnlyOk)
{
    bool seen = false;
    WithNextBox([&](QMessageBox *box) {
        seen = true;
        EXPECT_EQ(box->windowTitle(), u"Information"_s);
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_FALSE(box->windowFlags() & Qt::WindowCloseButtonHint);
        // A label without a buddy shows '&' as itself; markup stays text.
        const auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_s);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), u"R&D.txt <b>x</b>\nline two"_s) << "CR LF shows as one line break";
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(label->buddy(), nullptr);
        box->button(QMessageBox::Ok)->click();
    });
    InfoBox(u"R&D.txt <b>x</b>\r\nline two"_s);
    EXPECT_TRUE(seen);
}

TEST(MsgDlgsTest, YesNoBoxesAnswerOnlyYesWithTrue)
{
    WithNextBox([](QMessageBox *box) {
        EXPECT_EQ(box->windowTitle(), u"Warning"_s);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(WarningYesNo(u"Overwrite?"_s));
    WithNextBox([](QMessageBox *box) {
        EXPECT_EQ(box->windowTitle(), u"Confirm"_s);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(ConfirmYesNo(u"Delete?"_s));
    WithNextBox([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_FALSE(ConfirmYesNo(u"Delete?"_s));
}

TEST(MsgDlgsTest, CentringTruncatesTowardZeroAndClampsAtZero)
{
    EXPECT_EQ(CentredBoxPos(100, 10, 13), 99); // (10 - 13) / 2 is -1, not -2
    EXPECT_EQ(CentredBoxPos(0, 10, 13), 0);
    EXPECT_EQ(CentredBoxPos(-300, 400, 300), 0);
}

TEST(MsgDlgsTest, BoxIsCentredOnAVisibleMainFormOnly)
{
    QWidget main;
    SetMsgDlgMainForm(&main);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    // Hidden main form: the platform's placement, the middle of the screen.
    WithNextBox([&](QMessageBox *box) {
        EXPECT_LE((box->frameGeometry().center() - screen.center()).manhattanLength(), 4);
        box->button(QMessageBox::Ok)->click();
    });
    ErrorBox(u"hidden"_s);

    main.setGeometry(300, 200, 600, 500);
    main.show();
    ASSERT_TRUE(WindowShown(&main));
    WithNextBox([&](QMessageBox *box) {
        const QRect m = main.frameGeometry();
        EXPECT_EQ(box->pos(), QPoint(CentredBoxPos(m.left(), m.width(), box->width()),
                                     CentredBoxPos(m.top(), m.height(), box->height())));
        box->button(QMessageBox::Ok)->click();
    });
    ErrorBox(u"over the main form"_s);

    main.move(-500, -400); // partly off the screen's top left corner
    WithNextBox([&](QMessageBox *box) {
        EXPECT_EQ(box->pos(), QPoint(0, 0));
        box->button(QMessageBox::Ok)->click();
    });
    ErrorBox(u"off screen"_s);
    SetMsgDlgMainForm(nullptr);
}
