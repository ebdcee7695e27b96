// The settings editor's pages as the user works them, without a server: the
// message boxes, file dialogs and the help page go to the test hooks.
#include "DlgSett.h"

#include "FileDialogs.h"
#include "IniFile.h"
#include "MessageBoxRecorder.h"
#include "SettingsPage.h"
#include "StartupEnv.h"
#include "TButtonText.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "TIntSpinEdit.h"
#include "TempDataFolder.h"
#include "TextCodec.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString AccessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

class TEMSettDialogTest : public testing::Test {
protected:
    TEMSettDialogTest()
    {
        // As after reading the configuration: bounds and defaults in place.
        settings.ApplyBounds();
        settings.EnsureDefaults();
    }
    ~TEMSettDialogTest() override { SetFileDialogHook(nullptr); }

    std::unique_ptr<TEMSettDialog> Open(SettingsParamSet page)
    {
        auto dialog = std::make_unique<TEMSettDialog>(page, settings, 0xC0E0C8);
        dialog->show();
        return dialog;
    }
    static void Click(TEMSettDialog &dialog, DialogButtonId id) { dialog.ButtonBar->Button(id)->click(); }
    /** Answers the next file dialogs with these paths and keeps what was asked. */
    void AnswerFileDialog(const QStringList &paths)
    {
        SetFileDialogHook([this, paths](FileDialogRequest &request) {
            asked = request;
            return paths;
        });
    }
    QString WriteFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(data.Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return file.fileName();
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    TESettings settings;
    FileDialogRequest asked;
};

} // namespace

TEST_F(TEMSettDialogTest, ConnectionRowsFollowTheirSwitchesAndShowTheStoredValuesAgain)
{
    settings.Param(spBatchQty).SetInt(40);
    const auto dialog = Open(ConnectionPageParams);
    EXPECT_EQ(dialog->windowTitle(), u"Connection Settings"_s);
    EXPECT_EQ(AccessibleName(dialog->Rows[spRecPause]), u"Pause (s)"_s);
    EXPECT_EQ(AccessibleName(dialog->ButtonBar->Button(bCancel)), u"Cancel"_s);
    for (const int row : {spSmtpUser, spPassword, spBatchQty}) {
        EXPECT_FALSE(dialog->Rows[size_t(row)]->isEnabled()) << row;
        EXPECT_TRUE(dialog->EditRow(row)->text().isEmpty()) << row;
    }

    // No user stored: checking authentication asks first; No leaves it off.
    QCheckBox *auth = dialog->CheckBoxRow(spSmtpAuth);
    boxes.QueueAnswer(false);
    auth->click();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].text.endsWith(u"\r\n\r\nAre you sure you want to proceed?"_s));
    EXPECT_FALSE(auth->isChecked());
    EXPECT_FALSE(dialog->Rows[spSmtpUser]->isEnabled());
    auth->click(); // asked again, answered Yes
    EXPECT_TRUE(dialog->Rows[spPassword]->isEnabled());
    EXPECT_EQ(dialog->focusWidget(), dialog->Rows[spSmtpUser]);
    // With a user stored nothing is asked, and the stored values come back.
    settings.Param(spSmtpUser).SetStr(u"me"_s);
    auth->click();
    auth->click();
    EXPECT_EQ(boxes.Boxes().size(), 2);
    EXPECT_EQ(dialog->EditRow(spSmtpUser)->text(), u"me"_s);

    // What was typed into the batch size goes with its switch; OK keeps the stored size.
    TIntSpinEdit *qty = dialog->SpinRow(spBatchQty);
    dialog->CheckBoxRow(spBatchMode)->click();
    EXPECT_EQ(qty->text(), u"40"_s);
    qty->setText(u"12"_s);
    dialog->CheckBoxRow(spBatchMode)->click();
    dialog->CheckBoxRow(spBatchMode)->click();
    EXPECT_EQ(qty->text(), u"40"_s);
    dialog->CheckBoxRow(spBatchMode)->click();

    // OK trims, clamps and corrects: no user switches authentication off and drops the password.
    QTest::keyClicks(dialog->EditRow(spSmtpServer), u"  mail.example.org "_s);
    dialog->SpinRow(spSmtpTimeout)->selectAll();
    QTest::keyClicks(dialog->SpinRow(spSmtpTimeout), u"999"_s);
    dialog->EditRow(spSmtpUser)->clear();
    QTest::keyClicks(dialog->EditRow(spPassword), u"secret"_s);
    Click(*dialog, bOK);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.Param(spBatchQty).GetInt(), 40);
    EXPECT_EQ(settings.Param(spSmtpServer).GetStr(), u"mail.example.org"_s);
    EXPECT_EQ(settings.Param(spSmtpTimeout).GetInt(), 300);
    EXPECT_FALSE(settings.Param(spSmtpAuth).GetBool());
    EXPECT_TRUE(settings.Param(spPassword).GetStr().isEmpty());
    EXPECT_TRUE(ReadTextFile(TESettings::ConfigFileName()).contains(u"SMTP_Server=mail.example.org"_s));
}

TEST_F(TEMSettDialogTest, CancelAndEscapeWriteNothing)
{
    settings.Param(spSmtpServer).SetStr(u"old.example.org"_s);
    for (const bool escape : {false, true}) {
        const auto dialog = Open(ConnectionPageParams);
        dialog->EditRow(spSmtpServer)->setText(u"new.example.org"_s);
        dialog->CheckBoxRow(spSmtpSsl)->click();
        if (escape)
            QTest::keyClick(dialog->EditRow(spSmtpServer), Qt::Key_Escape);
        else
            Click(*dialog, bCancel);
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_FALSE(QFile::exists(TESettings::ConfigFileName()));
        EXPECT_EQ(settings.Param(spSmtpServer).GetStr(), u"old.example.org"_s);
        EXPECT_FALSE(settings.Param(spSmtpSsl).GetBool());
    }
}

TEST_F(TEMSettDialogTest, ClearAllEmptiesTheMessagePageButSavesNothing)
{
    settings.Param(spSubject).SetStr(u"Subject"_s);
    settings.Param(spMessageFile).SetStr(u"/tmp/m.txt"_s);
    settings.AttachmentPaths = {u"/tmp/a.pdf"_s};
    settings.Param(spBccEmails).SetBool(true);
    settings.Param(spBccTo).SetStr(u"copy@example.org"_s);
    settings.Param(spNameParEna).SetBool(true);
    settings.Param(spNameParInd).SetInt(3);
    const auto dialog = Open(MessagePageParams);
    EXPECT_EQ(dialog->windowTitle(), u"Message Settings"_s);
    EXPECT_EQ(dialog->SpinRow(spNameParInd)->text(), u"3"_s);
    EXPECT_EQ(dialog->ButtonBar->Button(bHelp)->text(), u"Clear &All"_s);

    Click(*dialog, bHelp);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->EditRow(spSubject)->text().isEmpty());
    EXPECT_TRUE(dialog->ValueFieldRow(spMessageFile)->GetText().isEmpty());
    EXPECT_EQ(dialog->AttachmentListBox()->count(), 0);
    for (const int row : {spBccTo, spReplyTo, spNameParInd}) {
        EXPECT_FALSE(dialog->Rows[size_t(row)]->isEnabled()) << row;
        EXPECT_TRUE(dialog->EditRow(row)->text().isEmpty()) << row;
    }
    EXPECT_EQ(settings.Param(spSubject).GetStr(), u"Subject"_s);
    EXPECT_FALSE(QFile::exists(TESettings::ConfigFileName()));
}

TEST_F(TEMSettDialogTest, AttachmentsAreAddedRemovedAndClearedOnTheWorkingList)
{
    settings.AttachmentPaths = {u"/d/1.pdf"_s, u"/d/2.pdf"_s, u"/d/3.pdf"_s};
    const auto dialog = Open(MessagePageParams);
    QListWidget *list = dialog->AttachmentListBox();
    QPushButton *remove = dialog->AttachButtons[1];
    QPushButton *clear = dialog->AttachButtons[2];
    EXPECT_FALSE(remove->isEnabled());

    // Two files that differ from each other only in letter case are two files here.
    const QString upper = WriteFile(u"A.PDF"_s, "x");
    const QString lower = WriteFile(u"a.pdf"_s, "y");
    AnswerFileDialog({lower});
    dialog->AttachButtons[0]->click();
    AnswerFileDialog({upper, lower});
    dialog->AttachButtons[0]->click();
    EXPECT_EQ(asked.title, u"Add Attachments"_s);
    EXPECT_TRUE(asked.multiSelect);
    EXPECT_EQ(dialog->AttachList, (QStringList{u"/d/1.pdf"_s, u"/d/2.pdf"_s, u"/d/3.pdf"_s, lower, upper}));
    EXPECT_EQ(list->item(4)->text(), u"A.PDF"_s);

    // Items 2 and 4 go; the one now second is selected.
    list->item(1)->setSelected(true);
    list->item(3)->setSelected(true);
    remove->click();
    EXPECT_EQ(dialog->AttachList, (QStringList{u"/d/1.pdf"_s, u"/d/3.pdf"_s, upper}));
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->row(list->selectedItems().first()), 1);
    EXPECT_TRUE(remove->isEnabled());
    // Delete removes too; the last item gone, the new last is selected.
    list->clearSelection();
    list->item(2)->setSelected(true);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->row(list->selectedItems().first()), 1);

    clear->click();
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(clear->isEnabled());
    // Only OK hands the list over.
    EXPECT_EQ(settings.AttachmentPaths.size(), 3);
    Click(*dialog, bOK);
    EXPECT_TRUE(settings.AttachmentPaths.isEmpty());
}

TEST_F(TEMSettDialogTest, CopyAddressesWithoutAtAreSwitchedOffInTheFileToo)
{
    const auto dialog = Open(MessagePageParams);
    dialog->CheckBoxRow(spBccEmails)->click();
    EXPECT_EQ(dialog->focusWidget(), dialog->Rows[spBccTo]);
    dialog->EditRow(spBccTo)->setText(u"copy.example.org"_s);
    dialog->CheckBoxRow(spReplyEna)->click();
    dialog->EditRow(spReplyTo)->setText(u" reply@example.org "_s);
    Click(*dialog, bOK);
    EXPECT_FALSE(settings.Param(spBccEmails).GetBool());
    EXPECT_EQ(settings.Param(spReplyTo).GetStr(), u"reply@example.org"_s);
    IniFile ini(TESettings::ConfigFileName());
    EXPECT_FALSE(ini.ReadBool(u"Settings"_s, u"BCC_Emails"_s, true));
    EXPECT_TRUE(ini.ReadBool(u"Settings"_s, u"ReplyEna"_s, false));
}

TEST_F(TEMSettDialogTest, MessageFileIsChosenAndReadAgainOnlyWhenItChanged)
{
    const QString file = WriteFile(u"news.txt"_s, "Dear %1,\r\nHello.\r\n");
    const auto dialog = Open(MessagePageParams);
    TButtonText *field = dialog->ValueFieldRow(spMessageFile);
    AnswerFileDialog({file});
    field->Button()->click();
    EXPECT_EQ(asked.title, u"Import Message File"_s);
    EXPECT_EQ(asked.folder, SpecialFolder(0));
    Click(*dialog, bOK);
    EXPECT_EQ(settings.MessageText, (QStringList{u"Dear %1,"_s, u"Hello."_s}));
    EXPECT_EQ(settings.ParameterCount(), 1);

    // Text changed in the message editor, kept in the working copy only,
    // survives another OK of the page.
    settings.MessageText = {u"Edited %1"_s};
    settings.SaveMessage(false);
    {
        const auto again = Open(MessagePageParams);
        AnswerFileDialog({});
        again->ValueFieldRow(spMessageFile)->Button()->click();
        EXPECT_EQ(asked.folder, data.Root());
        Click(*again, bOK);
        EXPECT_EQ(settings.MessageText, QStringList{u"Edited %1"_s});
    }
    // Changed by another program: read again.
    WriteFile(u"news.txt"_s, "New text\r\n");
    Click(*Open(MessagePageParams), bOK);
    EXPECT_EQ(settings.MessageText, QStringList{u"New text"_s});
}

TEST_F(TEMSettDialogTest, SendMethodPageEnablesTheBccRowsForBccOnly)
{
    settings.Param(spMethodEmail).SetStr(u"list@example.org"_s);
    const auto dialog = Open(MethodPageParams);
    EXPECT_EQ(dialog->windowTitle(), u"Choose the way e-mails will be sent"_s);
    QComboBox *method = dialog->ComboRow(spMethodBcc);
    EXPECT_EQ(method->currentText(), u"Individual E-mails (default)"_s);
    for (const int row : {spMethodTo, spMethodEmail, spMethodCount}) {
        EXPECT_FALSE(dialog->Rows[size_t(row)]->isEnabled()) << row;
        EXPECT_TRUE(dialog->EditRow(row)->text().isEmpty()) << row;
    }
    QTest::keyClick(method, Qt::Key_Down);
    EXPECT_EQ(method->currentText(), u"BCC (no message personalization)"_s);
    EXPECT_EQ(dialog->EditRow(spMethodEmail)->text(), u"list@example.org"_s);
    EXPECT_EQ(dialog->SpinRow(spMethodCount)->text(), u"5"_s);
    EXPECT_EQ(dialog->focusWidget(), dialog->Rows[spMethodTo]);

    // The To name loses the five characters that would break its header.
    dialog->EditRow(spMethodTo)->setText(u" \"Our: list\" @news\\/ "_s);
    Click(*dialog, bOK);
    EXPECT_TRUE(settings.IsBccMethod());
    EXPECT_EQ(settings.Param(spMethodTo).GetStr(), u"Our list news"_s);
}

TEST_F(TEMSettDialogTest, HeadersPagePreviewFollowsThePageAndNeedsNoAttachment)
{
    settings.Param(spYourEmail).SetStr(u"me@example.org"_s);
    settings.Param(spExtraHdrEna).SetBool(true);
    {
        const auto dialog = Open(HeadersPageParams);
        EXPECT_EQ(dialog->windowTitle(), u"Customize Message Headers"_s);
        const QString shown = dialog->HeaderPreview->toPlainText();
        EXPECT_TRUE(shown.contains(u"MIME-Version: 1.0"_s));
        EXPECT_TRUE(shown.contains(u"X-Priority: 3 (Normal)"_s));
        EXPECT_TRUE(shown.contains(u"To: Some Name <some.name@example.com>"_s));

        // Every change empties the preview; "&Preview" shows the page's values before OK.
        dialog->CheckBoxRow(spMimeEna)->click();
        EXPECT_TRUE(dialog->HeaderPreview->toPlainText().isEmpty());
        dialog->HeaderEdit->setPlainText(u"X-One: 1\n\n   \n  X-Two: 2  \n"_s);
        Click(*dialog, bSetup);
        const QString preview = dialog->HeaderPreview->toPlainText();
        EXPECT_FALSE(preview.contains(u"MIME-Version"_s));
        EXPECT_TRUE(preview.contains(u"X-One: 1\nX-Two: 2"_s));
        EXPECT_FALSE(preview.contains(u"X-Priority"_s));
        Click(*dialog, bOK);
        EXPECT_EQ(settings.ExtraHeaders, (QStringList{u"X-One: 1"_s, u"X-Two: 2"_s}));
    }
    // The BCC method's visible To; an attachment that is gone fails nothing.
    settings.Param(spMethodBcc).SetBool(true);
    settings.Param(spMethodTo).SetStr(u"Our list"_s);
    settings.Param(spMethodEmail).SetStr(u"list@example.org"_s);
    settings.AttachmentPaths = {data.Path(u"gone.pdf"_s)};
    const QString preview = Open(HeadersPageParams)->HeaderPreview->toPlainText();
    EXPECT_TRUE(preview.contains(u"To: Our list <list@example.org>"_s)) << preview.toStdString();
    EXPECT_TRUE(preview.contains(u"multipart/mixed"_s));
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(TEMSettDialogTest, HeadersStaysOnTheMessagePageWhenItsSaveFails)
{
    // A folder where the configuration file belongs: writing it fails.
    ASSERT_TRUE(QDir().mkpath(TESettings::ConfigFileName()));
    const auto dialog = Open(MessagePageParams);
    QString opened;
    QTimer::singleShot(0, dialog.get(), [&opened] {
        if (QWidget *page = QApplication::activeModalWidget()) {
            opened = page->windowTitle();
            page->close();
        }
    });
    Click(*dialog, bSetup);
    QApplication::processEvents();
    EXPECT_TRUE(opened.isEmpty()) << opened.toStdString();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Error);
}
