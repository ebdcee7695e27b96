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
#include "WebEmail.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

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
    ~TEMSettDialogTest() override
    {
        SetFileDialogHook(nullptr);
        SetUrlOpenHook(nullptr);
    }

    std::unique_ptr<TEMSettDialog> Open(SettingsParamSet page)
    {
        auto dialog = std::make_unique<TEMSettDialog>(page, settings, 0xC0E0C8);
        dialog->show();
        return dialog;
    }
    static void Click(TEMSettDialog &dialog, DialogButtonId id) { dialog.ButtonBar->Button(id)->click(); }
    static QString Config() { return ReadTextFile(TESettings::ConfigFileName()); }
    /** Answers the next file dialog with these paths and keeps what it was asked. */
    void AnswerFileDialog(const QStringList &paths)
    {
        SetFileDialogHook([this, paths](FileDialogRequest &request) {
            asked = request;
            return paths;
        });
    }
    QString WriteFile(const QString &name, const QByteArray &bytes) const
    {
        const QString path = data.Path(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    TESettings settings;
    FileDialogRequest asked;
};

} // namespace

TEST_F(TEMSettDialogTest, ConnectionPageShowsTheStoredValuesWithSwitchedOffRowsDisabledAndEmpty)
{
    settings.Param(spSmtpServer).SetStr(u"smtp.example.org"_s);
    settings.Param(spSmtpUser).SetStr(u"stored-user"_s);
    settings.Param(spBatchQty).SetInt(70);
    const auto dialog = Open(ConnectionPageParams);
    EXPECT_EQ(dialog->windowTitle(), u"Connection Settings"_s);
    for (int i = 0; i < SettingsParamCount; ++i)
        EXPECT_EQ(dialog->Rows[size_t(i)] != nullptr, i <= spBatchQty) << i;
    EXPECT_EQ(dialog->EditRow(spSmtpServer)->text(), u"smtp.example.org"_s);
    EXPECT_EQ(dialog->SpinRow(spSmtpPort)->text(), u"25"_s);
    EXPECT_EQ(dialog->SpinRow(spSmtpPort)->Max(), 9999);
    EXPECT_EQ(dialog->EditRow(spPassword)->echoMode(), QLineEdit::Password);
    // Authentication and batch mode are off: their rows are disabled and show nothing.
    for (const int row : {spSmtpUser, spPassword, spBatchQty}) {
        EXPECT_FALSE(dialog->Rows[size_t(row)]->isEnabled()) << row;
        EXPECT_TRUE(dialog->EditRow(row)->text().isEmpty()) << row;
    }
    // Every row and button is named for assistive technology.
    EXPECT_EQ(AccessibleName(dialog->Rows[spSmtpServer]), u"SMTP Server"_s);
    EXPECT_EQ(AccessibleName(dialog->Rows[spSmtpAuth]), u"SMTP server requires authentication"_s);
    EXPECT_EQ(AccessibleName(dialog->Rows[spRecPause]), u"Pause (s)"_s);
    EXPECT_EQ(AccessibleName(dialog->ButtonBar->Button(bCancel)), u"Cancel"_s);
    EXPECT_EQ(dialog->ButtonBar->Button(bSetup), nullptr);
}

TEST_F(TEMSettDialogTest, CheckingAuthenticationWithoutAStoredUserAsksFirst)
{
    const auto dialog = Open(ConnectionPageParams);
    QCheckBox *auth = dialog->CheckBoxRow(spSmtpAuth);
    boxes.QueueAnswer(false);
    auth->click();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Warning);
    EXPECT_TRUE(boxes.Boxes()[0].text.endsWith(u"\r\n\r\nAre you sure you want to proceed?"_s));
    EXPECT_FALSE(auth->isChecked());
    EXPECT_FALSE(dialog->Rows[spSmtpUser]->isEnabled());

    auth->click(); // Yes
    EXPECT_TRUE(auth->isChecked());
    EXPECT_TRUE(dialog->Rows[spSmtpUser]->isEnabled());
    EXPECT_TRUE(dialog->Rows[spPassword]->isEnabled());
    EXPECT_EQ(dialog->focusWidget(), dialog->Rows[spSmtpUser]);

    // With a user stored nothing is asked, and the stored values come back.
    settings.Param(spSmtpUser).SetStr(u"me"_s);
    settings.Param(spPassword).SetStr(u"pw"_s);
    auth->click();
    auth->click();
    EXPECT_EQ(boxes.Boxes().size(), 2);
    EXPECT_EQ(dialog->EditRow(spSmtpUser)->text(), u"me"_s);
    EXPECT_EQ(dialog->EditRow(spPassword)->text(), u"pw"_s);
}

TEST_F(TEMSettDialogTest, OkReadsTheRowsBackCorrectsThemAndWritesTheFile)
{
    const auto dialog = Open(ConnectionPageParams);
    dialog->CheckBoxRow(spSmtpAuth)->click(); // the question is answered Yes
    QTest::keyClicks(dialog->EditRow(spSmtpServer), u"  mail.example.org "_s);
    QTest::keyClicks(dialog->EditRow(spPassword), u" pass word "_s);
    dialog->SpinRow(spSmtpTimeout)->selectAll();
    QTest::keyClicks(dialog->SpinRow(spSmtpTimeout), u"999"_s);
    Click(*dialog, bOK);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(settings.Param(spSmtpServer).GetStr(), u"mail.example.org"_s);
    // Clamped to its bounds.
    EXPECT_EQ(settings.Param(spSmtpTimeout).GetInt(), 300);
    // No user: authentication goes off and the password is dropped.
    EXPECT_FALSE(settings.Param(spSmtpAuth).GetBool());
    EXPECT_TRUE(settings.Param(spPassword).GetStr().isEmpty());
    EXPECT_TRUE(Config().contains(u"SMTP_Server=mail.example.org"_s));
    EXPECT_TRUE(Config().contains(u"SMTP_Timeout=300"_s));
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

TEST_F(TEMSettDialogTest, UncheckedBatchModeKeepsTheStoredSizeAndShowsItAgain)
{
    settings.Param(spBatchMode).SetBool(true);
    settings.Param(spBatchQty).SetInt(40);
    const auto dialog = Open(ConnectionPageParams);
    TIntSpinEdit *qty = dialog->SpinRow(spBatchQty);
    EXPECT_EQ(qty->text(), u"40"_s);
    qty->setText(u"12"_s);
    dialog->CheckBoxRow(spBatchMode)->click();
    EXPECT_FALSE(qty->isEnabled());
    EXPECT_TRUE(qty->text().isEmpty());
    dialog->CheckBoxRow(spBatchMode)->click();
    EXPECT_EQ(qty->text(), u"40"_s);
    dialog->CheckBoxRow(spBatchMode)->click();
    Click(*dialog, bOK);
    EXPECT_FALSE(settings.Param(spBatchMode).GetBool());
    EXPECT_EQ(settings.Param(spBatchQty).GetInt(), 40);
}

TEST_F(TEMSettDialogTest, EmptyServerIsFilledFromTheMailProgramsAccount)
{
    const QString profile = data.Path(u"home/.thunderbird/x.default"_s);
    ASSERT_TRUE(QDir().mkpath(profile));
    WriteTextFileAtomic(data.Path(u"home/.thunderbird/profiles.ini"_s),
                        u"[Profile0]\nPath=x.default\nIsRelative=1\n"_s);
    WriteTextFileAtomic(profile + u"/prefs.js"_s,
                        u"user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\n"
                        u"user_pref(\"mail.account.account1.identities\", \"id1\");\n"
                        u"user_pref(\"mail.identity.id1.useremail\", \"me@example.org\");\n"
                        u"user_pref(\"mail.smtp.defaultserver\", \"smtp1\");\n"
                        u"user_pref(\"mail.smtpserver.smtp1.hostname\", \"smtp.example.org\");\n"_s);
    settings.Param(spYourName).SetStr(u"Stored Name"_s);
    {
        const auto dialog = Open(ConnectionPageParams);
        EXPECT_EQ(dialog->EditRow(spSmtpServer)->text(), u"smtp.example.org"_s);
        EXPECT_EQ(dialog->EditRow(spYourEmail)->text(), u"me@example.org"_s);
        // The account has no name: the stored one stays.
        EXPECT_EQ(dialog->EditRow(spYourName)->text(), u"Stored Name"_s);
        // Nothing reaches the settings before OK.
        EXPECT_TRUE(settings.Param(spSmtpServer).GetStr().isEmpty());
    }
    // A stored server: the account is not looked at, even with an empty address.
    settings.Param(spSmtpServer).SetStr(u"own.example.org"_s);
    const auto dialog = Open(ConnectionPageParams);
    EXPECT_EQ(dialog->EditRow(spSmtpServer)->text(), u"own.example.org"_s);
    EXPECT_TRUE(dialog->EditRow(spYourEmail)->text().isEmpty());
}

TEST_F(TEMSettDialogTest, ClearAllEmptiesTheMessagePageButSavesNothing)
{
    settings.Param(spSubject).SetStr(u"Subject"_s);
    settings.Param(spMessageFile).SetStr(u"/tmp/m.txt"_s);
    settings.AttachmentPaths = {u"/tmp/a.pdf"_s};
    settings.Param(spBccEmails).SetBool(true);
    settings.Param(spBccTo).SetStr(u"copy@example.org"_s);
    settings.Param(spReplyEna).SetBool(true);
    settings.Param(spReplyTo).SetStr(u"reply@example.org"_s);
    settings.Param(spNameParEna).SetBool(true);
    settings.Param(spNameParInd).SetInt(3);
    const auto dialog = Open(MessagePageParams);
    EXPECT_EQ(dialog->windowTitle(), u"Message Settings"_s);
    EXPECT_EQ(dialog->SpinRow(spNameParInd)->text(), u"3"_s);
    EXPECT_EQ(dialog->ButtonBar->Button(bHelp)->text(), u"Clear &All"_s);
    EXPECT_EQ(AccessibleName(dialog->ButtonBar->Button(bHelp)), u"Clear All"_s);

    Click(*dialog, bHelp);
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->EditRow(spSubject)->text().isEmpty());
    EXPECT_TRUE(dialog->ValueFieldRow(spMessageFile)->GetText().isEmpty());
    EXPECT_EQ(dialog->AttachmentListBox()->count(), 0);
    for (const int box : {spBccEmails, spReplyEna, spNameParEna})
        EXPECT_FALSE(dialog->CheckBoxRow(box)->isChecked()) << box;
    for (const int row : {spBccTo, spReplyTo, spNameParInd}) {
        EXPECT_FALSE(dialog->Rows[size_t(row)]->isEnabled()) << row;
        EXPECT_TRUE(dialog->EditRow(row)->text().isEmpty()) << row;
    }
    EXPECT_FALSE(dialog->AttachButtons[1]->isEnabled());
    EXPECT_FALSE(dialog->AttachButtons[2]->isEnabled());
    EXPECT_EQ(settings.Param(spSubject).GetStr(), u"Subject"_s);
    EXPECT_EQ(settings.AttachmentPaths.size(), 1);
    EXPECT_FALSE(QFile::exists(TESettings::ConfigFileName()));
}

TEST_F(TEMSettDialogTest, AttachmentsAreAddedRemovedAndClearedOnTheWorkingList)
{
    settings.AttachmentPaths = {u"/d/1.pdf"_s, u"/d/2.pdf"_s, u"/d/3.pdf"_s};
    const auto dialog = Open(MessagePageParams);
    QListWidget *list = dialog->AttachmentListBox();
    QPushButton *add = dialog->AttachButtons[0];
    QPushButton *remove = dialog->AttachButtons[1];
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_TRUE(dialog->AttachButtons[2]->isEnabled());

    // Two real files, one differing from a listed path only in letter case.
    const QString upper = WriteFile(u"A.PDF"_s, "x");
    const QString lower = WriteFile(u"a.pdf"_s, "y");
    dialog->AttachList.append(lower);
    dialog->FillAttachmentList();
    AnswerFileDialog({upper, lower});
    add->click();
    EXPECT_EQ(asked.title, u"Add Attachments"_s);
    EXPECT_TRUE(asked.multiSelect);
    EXPECT_EQ(dialog->AttachList, (QStringList{u"/d/1.pdf"_s, u"/d/2.pdf"_s, u"/d/3.pdf"_s, lower, upper}));
    EXPECT_EQ(list->item(4)->text(), u"A.PDF"_s);

    // Items 2 and 4 go; the one now second is selected.
    list->item(1)->setSelected(true);
    list->item(3)->setSelected(true);
    EXPECT_TRUE(remove->isEnabled());
    remove->click();
    EXPECT_EQ(dialog->AttachList, (QStringList{u"/d/1.pdf"_s, u"/d/3.pdf"_s, upper}));
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->row(list->selectedItems().first()), 1);
    // Delete removes too; the last item gone, the new last is selected.
    list->clearSelection();
    list->item(2)->setSelected(true);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(dialog->AttachList, (QStringList{u"/d/1.pdf"_s, u"/d/3.pdf"_s}));
    EXPECT_EQ(list->row(list->selectedItems().first()), 1);

    dialog->AttachButtons[2]->click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(dialog->AttachButtons[2]->isEnabled());
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
    EXPECT_TRUE(settings.Param(spReplyEna).GetBool());
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
    EXPECT_FALSE(field->Button()->focusPolicy() == Qt::NoFocus);
    AnswerFileDialog({file});
    field->Button()->click();
    EXPECT_EQ(asked.title, u"Import Message File"_s);
    EXPECT_EQ(asked.folder, SpecialFolder(0));
    EXPECT_EQ(field->GetText(), file);
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
    const auto third = Open(MessagePageParams);
    Click(*third, bOK);
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
    EXPECT_EQ(dialog->EditRow(spMethodTo)->text(), u"undisclosed recipients"_s);
    EXPECT_EQ(dialog->EditRow(spMethodEmail)->text(), u"list@example.org"_s);
    EXPECT_EQ(dialog->SpinRow(spMethodCount)->text(), u"5"_s);
    EXPECT_EQ(dialog->focusWidget(), dialog->Rows[spMethodTo]);

    dialog->EditRow(spMethodTo)->setText(u" \"Our: list\" @news\\/ "_s);
    Click(*dialog, bOK);
    EXPECT_TRUE(settings.IsBccMethod());
    EXPECT_EQ(settings.Param(spMethodTo).GetStr(), u"Our list news"_s);
}

TEST_F(TEMSettDialogTest, HeadersPageShowsThePreviewAndEmptiesItOnEveryChange)
{
    settings.Param(spYourEmail).SetStr(u"me@example.org"_s);
    settings.Param(spSubject).SetStr(u"Hello"_s);
    settings.Param(spExtraHdrEna).SetBool(true);
    const auto dialog = Open(HeadersPageParams);
    EXPECT_EQ(dialog->windowTitle(), u"Customize Message Headers"_s);
    EXPECT_LT(dialog->Rows[spMimeEna]->x(), dialog->Rows[spCharSet]->x());
    const QString shown = dialog->HeaderPreview->toPlainText();
    EXPECT_TRUE(shown.contains(u"MIME-Version: 1.0"_s));
    EXPECT_TRUE(shown.contains(u"X-Priority: 3 (Normal)"_s));
    EXPECT_TRUE(shown.contains(u"To: Some Name <some.name@example.com>"_s));

    dialog->CheckBoxRow(spMimeEna)->click();
    EXPECT_TRUE(dialog->HeaderPreview->toPlainText().isEmpty());
    EXPECT_TRUE(dialog->EditRow(spCharSet)->text().isEmpty());
    dialog->HeaderEdit->setPlainText(u"X-One: 1\n\n   \n  X-Two: 2  \n"_s);
    Click(*dialog, bSetup);
    const QString preview = dialog->HeaderPreview->toPlainText();
    EXPECT_FALSE(preview.contains(u"MIME-Version"_s));
    EXPECT_TRUE(preview.contains(u"X-One: 1\nX-Two: 2"_s));
    EXPECT_FALSE(preview.contains(u"\n\n"_s));
    EXPECT_FALSE(preview.contains(u"X-Priority"_s));

    Click(*dialog, bOK);
    EXPECT_FALSE(settings.Param(spMimeEna).GetBool());
    EXPECT_EQ(settings.ExtraHeaders, (QStringList{u"X-One: 1"_s, u"X-Two: 2"_s}));
}

TEST_F(TEMSettDialogTest, HeadersPreviewOfTheBccMethodShowsItsVisibleToAndNeedsNoAttachment)
{
    settings.Param(spMethodBcc).SetBool(true);
    settings.Param(spMethodTo).SetStr(u"Our list"_s);
    settings.Param(spMethodEmail).SetStr(u"list@example.org"_s);
    settings.AttachmentPaths = {data.Path(u"gone.pdf"_s)};
    const auto dialog = Open(HeadersPageParams);
    const QString preview = dialog->HeaderPreview->toPlainText();
    EXPECT_TRUE(preview.contains(u"To: Our list <list@example.org>"_s)) << preview.toStdString();
    EXPECT_TRUE(preview.contains(u"multipart/mixed"_s));
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(TEMSettDialogTest, F1OpensTheHelpPageFromAnyRow)
{
    QStringList opened;
    SetUrlOpenHook([&](const QUrl &url) {
        opened.append(url.toLocalFile());
        return true;
    });
    WriteTextFileAtomic(ProgramDir() + u"bry_help.htm"_s, u"<html></html>"_s);
    for (const SettingsParamSet page : {ConnectionPageParams, MessagePageParams}) {
        const auto dialog = Open(page);
        QWidget *row = dialog->Rows[page.Contains(spSmtpPort) ? spSmtpPort : spSubject];
        row->setFocus();
        QTest::keyClick(row, Qt::Key_F1, Qt::ShiftModifier);
        EXPECT_TRUE(dialog->isVisible());
    }
    EXPECT_EQ(opened, (QStringList{ProgramDir() + u"bry_help.htm"_s, ProgramDir() + u"bry_help.htm"_s}));
}
