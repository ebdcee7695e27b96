#include "DlgAbout.h"

#include "MessageBoxRecorder.h"
#include "SystemMemory.h"
#include "TCardLabel.h"
#include "WebEmail.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TAboutDialogTest, MemoryIsRoundedToWholeMegabytesATieToTheEvenOne)
{
    EXPECT_EQ(MemoryText(536870912), u"Memory available to the system: 512 MB"_s);
    EXPECT_EQ(MemoryMegabytes(1572864), 2); // 1.5 MB
    EXPECT_EQ(MemoryMegabytes(2621440), 2); // 2.5 MB
    EXPECT_GT(TotalPhysicalMemory(), 0u);
}

TEST(TAboutDialogTest, BuildDateShowsTheTimeUnlessItIsMidnight)
{
    const QLocale locale(QLocale::English, QLocale::UnitedKingdom);
    const QDate date(2025, 3, 7);
    const QString day = locale.toString(date, QLocale::ShortFormat);
    EXPECT_EQ(BuildText(QDateTime(date, QTime(0, 0)), locale), u"  (Build  "_s + day + u")"_s);
    EXPECT_EQ(BuildText(QDateTime(date, QTime(14, 5)), locale),
              u"  (Build  "_s + day + u' ' + locale.toString(QTime(14, 5), QLocale::ShortFormat) + u")"_s);
}

TEST(TAboutDialogTest, ShowsVersionLinksAndMemoryAndStaysOpenWhenNoMailProgramIsSetUp)
{
    MessageBoxRecorder boxes;
    QList<QUrl> opened;
    SetUrlOpenHook([&](const QUrl &url) {
        opened.append(url);
        return url.scheme() != u"mailto"_s;
    });
    TAboutDialog dialog;
    dialog.show();
    // The test program itself is the file whose date the build part shows.
    EXPECT_TRUE(dialog.L_Version->text().startsWith(u"Version "_s + ProgramVersion() + u"  (Build  "_s));
    EXPECT_EQ(dialog.L_Memory->text(), MemoryText(TotalPhysicalMemory()));
    ASSERT_NE(dialog.HomeLink, nullptr);
    dialog.HomeLink->Click();
    dialog.SupportLink->Click();
    SetUrlOpenHook(nullptr);
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(HomePageURL()), QUrl(u"mailto:"_s + SupportEmail())}));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text,
              u"Unable to start Internet mail client. Make sure you have it properly setup on your system."_s);
    EXPECT_TRUE(dialog.isVisible());
}
