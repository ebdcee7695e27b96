#include "DlgProgr.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TProgressTest, StepAndCloseWithoutABoxDoNothing)
{
    ASSERT_EQ(CurrentProgress(), nullptr);
    StepProgress();
    CloseProgress();
    EXPECT_EQ(CurrentProgress(), nullptr);
}

TEST(TProgressTest, ShowStepClose)
{
    ShowProgress(u"Loading..."_s, u"Loading E-mail Address List..."_s, 400, false);
    TProgress *box = CurrentProgress();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), u"Loading..."_s);
    EXPECT_EQ(box->LblName->text(), u"Loading E-mail Address List..."_s);
    EXPECT_EQ(box->PBar->maximum(), 400);
    EXPECT_FALSE(box->BtnCancel->isEnabled());
    EXPECT_EQ(box->size(), QSize(333, 111));
    for (int i = 0; i < 3; ++i)
        StepProgress();
    EXPECT_EQ(box->Position(), 3);
    box->ProcessPaintEvents();
    EXPECT_EQ(box->PBar->value(), 3);
    CloseProgress();
    EXPECT_EQ(CurrentProgress(), nullptr);
}

TEST(TProgressTest, ShowingAgainReusesTheBox)
{
    ShowProgress(u"Import Progress"_s, u"Parsing Address List..."_s, 10, false);
    TProgress *first = CurrentProgress();
    StepProgress();
    ShowProgress(u"Loading..."_s, u"Loading E-mail Address List..."_s, 20, true);
    EXPECT_EQ(CurrentProgress(), first);
    EXPECT_EQ(first->windowTitle(), u"Loading..."_s);
    EXPECT_EQ(first->LblName->text(), u"Loading E-mail Address List..."_s);
    EXPECT_EQ(first->Position(), 0);
    EXPECT_EQ(first->PBar->value(), 0);
    EXPECT_EQ(first->PBar->maximum(), 20);
    EXPECT_TRUE(first->BtnCancel->isEnabled());
    CloseProgress();
    CloseProgress(); // a second close is harmless
    EXPECT_EQ(CurrentProgress(), nullptr);
}

TEST(TProgressTest, CloserClosesOnError)
{
    try {
        const TProgressCloser closer;
        ShowProgress(u"List Import"_s, u"Extracting E-mail Addresses..."_s, 5, false);
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(CurrentProgress(), nullptr);
}
