// The message text editor, alone and as the Message panel's "Text" command.
#include "DlgEdMsg.h"

#include "MessageBoxRecorder.h"
#include "PnMsg.h"
#include "StartupEnv.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "TempDataFolder.h"
#include "TextCodec.h"
#include "WebEmail.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Handles the next modal editor once the event loop runs it.
void OnNextEditor(std::function<void(TEditDialog *)> handle)
{
    QTimer::singleShot(0, [handle = std::move(handle)] {
        auto *dialog = qobject_cast<TEditDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        handle(dialog);
    });
}

class TEditDialogTest : public testing::Test {
protected:
    TEditDialogTest()
    {
        source = data.Path(u"letter.txt"_s);
        QFile file(source);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Dear %1,\r\n\r\nHello.\r\n");
        file.close();
        settings.Param(spMessageFile).SetStr(source);
        settings.ReloadMessage();
    }

    std::unique_ptr<TEditDialog> Open()
    {
        auto dialog = std::make_unique<TEditDialog>(settings);
        dialog->show();
        return dialog;
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    TESettings settings;
    QString source;
};

} // namespace

TEST_F(TEditDialogTest, OkWithoutChangesGivesBackTheSameLines)
{
    settings.MessageText = {u"a"_s, u""_s, u"x\u00a0y"_s, u""_s};
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), u"Message Text"_s);
    dialog->ButtonBar->Button(bOK)->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.MessageText, (QStringList{u"a"_s, u""_s, u"x\u00a0y"_s, u""_s}));
}

TEST_F(TEditDialogTest, TypedTextReplacesTheMessageOnOkOnly)
{
    {
        const auto dialog = Open();
        QTest::keyClicks(dialog->Memo, u"P.S."_s);
        dialog->ButtonBar->Button(bCancel)->click();
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_EQ(settings.MessageText, (QStringList{u"Dear %1,"_s, u""_s, u"Hello."_s}));
    }
    const auto dialog = Open();
    dialog->Memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(dialog->Memo, u"P.S."_s);
    QTest::keyClick(dialog->Memo, Qt::Key_Return);
    dialog->ButtonBar->Button(bOK)->click();
    EXPECT_EQ(settings.MessageText, (QStringList{u"Dear %1,"_s, u""_s, u"Hello."_s, u"P.S."_s}));
    EXPECT_FALSE(dialog->SaveToOriginal());
}

TEST_F(TEditDialogTest, HelpKeepsTheDialogOpenAndTheText)
{
    WriteTextFileAtomic(ProgramDir() + u"bry_help.htm"_s, u"<html></html>"_s);
    QStringList opened;
    SetUrlOpenHook([&](const QUrl &url) {
        opened.append(url.toLocalFile());
        return true;
    });
    const auto dialog = Open();
    dialog->Memo->setPlainText(u"changed"_s);
    dialog->ButtonBar->Button(bHelp)->click();
    SetUrlOpenHook(nullptr);
    EXPECT_EQ(opened, QStringList{ProgramDir() + u"bry_help.htm"_s});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(settings.MessageText.first(), u"Dear %1,"_s);
    QAccessibleInterface *ok = QAccessible::queryAccessibleInterface(dialog->ButtonBar->Button(bOK));
    EXPECT_EQ(ok->text(QAccessible::Name), u"OK"_s);
}

TEST_F(TEditDialogTest, HtmlIsNotWrappedAndTextIs)
{
    EXPECT_EQ(Open()->Memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    settings.MessageText = {u"<html><body>%1</body></html>"_s};
    settings.AnalyseMessage();
    const auto dialog = Open();
    EXPECT_EQ(dialog->Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_NE(dialog->Memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(TEditDialogTest, TextCommandSavesTheWorkingCopyAndTheFileOnlyWhenAsked)
{
    TMsgPanel panel;
    panel.SetSettings(&settings);
    panel.Build({2, 3, 4}, 0xB8D8C0, 0x204020, 0xD0F7FF, 0x80A8AB);

    // Cancel: nothing changes.
    OnNextEditor([](TEditDialog *dialog) {
        dialog->Memo->setPlainText(u"Never\n"_s);
        dialog->ButtonBar->Button(bCancel)->click();
    });
    EXPECT_FALSE(panel.EditMessageText());
    EXPECT_EQ(settings.MessageText.first(), u"Dear %1,"_s);

    // OK with the box unchecked: the working copy only, analysed again.
    OnNextEditor([](TEditDialog *dialog) {
        dialog->Memo->setPlainText(u"Hi %2,\n\nBye.\n"_s);
        dialog->ButtonBar->Button(bOK)->click();
    });
    EXPECT_TRUE(panel.EditMessageText());
    EXPECT_EQ(ReadBytes(TESettings::MessageCopyFileName()), QByteArray("Hi %2,\r\n\r\nBye.\r\n"));
    EXPECT_EQ(ReadBytes(source), QByteArray("Dear %1,\r\n\r\nHello.\r\n"));
    EXPECT_EQ(settings.Parameter(0).Index, 2);

    // Checked: the file gets it too, in its own CR LF.
    OnNextEditor([](TEditDialog *dialog) {
        dialog->Memo->setPlainText(u"Hi %3,\nBye.\n"_s);
        dialog->CheckBox->click();
        dialog->ButtonBar->Button(bOK)->click();
    });
    EXPECT_TRUE(panel.EditMessageText());
    EXPECT_EQ(ReadBytes(source), QByteArray("Hi %3,\r\nBye.\r\n"));
    EXPECT_EQ(ReadBytes(TESettings::MessageCopyFileName()), QByteArray("Hi %3,\r\nBye.\r\n"));
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}
