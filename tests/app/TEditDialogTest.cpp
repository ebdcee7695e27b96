// The message text editor, alone and as the Message panel's "Text" command;
// the help key that it shares with the settings editor.
#include "DlgEdMsg.h"

#include "AtomicFile.h"
#include "DlgSett.h"
#include "MessageBoxRecorder.h"
#include "PnMsg.h"
#include "SettingsPage.h"
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
#include <QTest>
#include <QTextBlock>
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

TEST_F(TEditDialogTest, OkTakesTheTextAsTypedAndARoundTripAddsNothing)
{
    {
        const auto dialog = Open();
        QTest::keyClicks(dialog->Memo, u"P.S."_s);
        dialog->ButtonBar->Button(bCancel)->click();
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_EQ(settings.MessageText, (QStringList{u"Dear %1,"_s, u""_s, u"Hello."_s}));
    }
    {
        const auto dialog = Open();
        dialog->Memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(dialog->Memo, u"P.S."_s);
        QTest::keyClick(dialog->Memo, Qt::Key_Return);
        dialog->ButtonBar->Button(bOK)->click();
        EXPECT_EQ(settings.MessageText, (QStringList{u"Dear %1,"_s, u""_s, u"Hello."_s, u"P.S."_s}));
        EXPECT_FALSE(dialog->SaveToOriginal());
    }
    // Blank last lines and no-break spaces come back as they were.
    settings.MessageText = {u"a"_s, u""_s, u"x\u00a0y"_s, u""_s};
    Open()->ButtonBar->Button(bOK)->click();
    EXPECT_EQ(settings.MessageText, (QStringList{u"a"_s, u""_s, u"x\u00a0y"_s, u""_s}));
}

TEST_F(TEditDialogTest, HelpAndF1KeepTheDialogsOpenAndTheText)
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
    // F1 with any shift state, from any control of the settings editor too.
    TEMSettDialog settingsPage(MessagePageParams, settings, 0xC0E0C8);
    settingsPage.show();
    settingsPage.Rows[spSubject]->setFocus();
    QTest::keyClick(settingsPage.Rows[spSubject], Qt::Key_F1, Qt::ShiftModifier);
    SetUrlOpenHook(nullptr);
    EXPECT_EQ(opened, QStringList(2, ProgramDir() + u"bry_help.htm"_s));
    EXPECT_TRUE(dialog->isVisible() && settingsPage.isVisible());
    EXPECT_EQ(settings.MessageText.first(), u"Dear %1,"_s);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog->CheckBox)->text(QAccessible::Name),
              u"Save changes to the original file"_s);
}

TEST_F(TEditDialogTest, HtmlIsNotWrappedAndTextIs)
{
    EXPECT_EQ(Open()->Memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    settings.MessageText = {u"<html><body>%1</body></html>"_s};
    settings.AnalyseMessage();
    EXPECT_EQ(Open()->Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(TEditDialogTest, TextCommandSavesTheFileOnlyWhenAskedInItsOwnLineBreaks)
{
    TMsgPanel panel;
    panel.SetSettings(&settings);
    panel.Build({2, 3, 4}, 0xB8D8C0, 0x204020, 0xD0F7FF, 0x80A8AB);
    const auto edit = [&panel](const QString &text, bool toOriginal) {
        QTimer::singleShot(0, [&text, toOriginal] {
            auto *dialog = qobject_cast<TEditDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->Memo->setPlainText(text);
            dialog->CheckBox->setChecked(toOriginal);
            dialog->ButtonBar->Button(bOK)->click();
        });
        return panel.EditMessageText();
    };

    // The working copy only, analysed again.
    EXPECT_TRUE(edit(u"Hi %2,\n\nBye.\n"_s, false));
    EXPECT_EQ(ReadBytes(TESettings::MessageCopyFileName()), QByteArray("Hi %2,\r\n\r\nBye.\r\n"));
    EXPECT_EQ(ReadBytes(source), QByteArray("Dear %1,\r\n\r\nHello.\r\n"));
    EXPECT_EQ(settings.Parameter(0).Index, 2);
    // Asked: the file gets it too, in its own CR LF.
    EXPECT_TRUE(edit(u"Hi %3,\nBye.\n"_s, true));
    EXPECT_EQ(ReadBytes(source), QByteArray("Hi %3,\r\nBye.\r\n"));
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(TEditDialogTest, SeparatorsInsideALineStayThatCharacterAndTypedOnesBreakTheLine)
{
    // The user's own file, in UTF-8 with LF, and the working copy made of it.
    const QByteArray own = u"Dear %1,\nfirst\u2028second\nthird\u2029fourth\n"_s.toUtf8();
    WriteFileAtomic(source, own);
    settings.ReloadMessage();
    const QByteArray copy = ReadBytes(TESettings::MessageCopyFileName());
    TMsgPanel panel;
    panel.SetSettings(&settings);
    const auto okWithOriginal = [&panel](const std::function<void(QPlainTextEdit *)> &edit) {
        QTimer::singleShot(0, [&edit] {
            auto *dialog = qobject_cast<TEditDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            edit(dialog->Memo);
            dialog->CheckBox->setChecked(true);
            dialog->ButtonBar->Button(bOK)->click();
        });
        return panel.EditMessageText();
    };

    ASSERT_TRUE(okWithOriginal([](QPlainTextEdit *) {}));
    EXPECT_EQ(ReadBytes(TESettings::MessageCopyFileName()), copy);
    EXPECT_EQ(ReadBytes(source), own);
    // An edit keeps them too; Shift+Enter breaks the line as Enter does, right after one as well.
    ASSERT_TRUE(okWithOriginal([](QPlainTextEdit *memo) {
        QTextCursor cursor(memo->document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, 6);
        memo->setTextCursor(cursor);
        QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
        memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo, u"P.S."_s);
    }));
    EXPECT_EQ(ReadBytes(source), u"Dear %1,\nfirst\u2028\nsecond\nthird\u2029fourth\nP.S.\n"_s.toUtf8());
}
