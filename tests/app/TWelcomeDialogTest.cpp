#include "DlgWelcm.h"

#include "AtomicFile.h"
#include "StartupEnv.h"
#include "TCardLabel.h"
#include "TTxtBtnPanel.h"
#include "TempDataFolder.h"
#include "WebEmail.h"

#include <QApplication>
#include <QFile>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

/** Runs ShowWelcome; the action answers the window once it is open. */
void ShowAndAnswer(const std::function<void(TWelcomeDialog &)> &action)
{
    bool answered = false;
    QTimer::singleShot(0, [&] {
        if (auto *dialog = qobject_cast<TWelcomeDialog *>(QApplication::activeModalWidget())) {
            answered = true;
            action(*dialog);
        }
    });
    ShowWelcome();
    EXPECT_TRUE(answered);
}

} // namespace

TEST(TWelcomeDialogTest, ShowHelpKeepsTheWindowAndTheTextIsGoneAfterCloseAndAfterTheCloseBox)
{
    TempDataFolder data;
    WriteFileAtomic(HelpPagePath(), "<html></html>");
    QStringList opened;
    SetUrlOpenHook([&](const QUrl &url) {
        opened.append(url.toLocalFile());
        return true;
    });
    const QList<std::function<void(TWelcomeDialog &)>> ways = {
        [](TWelcomeDialog &dialog) {
            dialog.Buttons->Link(cmShowHelp)->Click();
            EXPECT_TRUE(dialog.isVisible());
            dialog.Buttons->Link(cmClose)->Click();
        },
        [](TWelcomeDialog &dialog) { dialog.close(); },
    };
    for (const auto &leave : ways) {
        WriteFileAtomic(WelcomeFileName(), R"({\rtf1\ansi {\b Welcome} to the program.\par})");
        ShowAndAnswer([&](TWelcomeDialog &dialog) {
            EXPECT_EQ(dialog.RichEdit->toPlainText(), u"Welcome to the program."_s);
            leave(dialog);
        });
        EXPECT_FALSE(QFile::exists(WelcomeFileName()));
    }
    SetUrlOpenHook(nullptr);
    EXPECT_EQ(opened, QStringList{HelpPagePath()});
}
