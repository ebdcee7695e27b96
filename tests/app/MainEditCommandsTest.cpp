// The edit commands of the main window (0 "Settings", 2 "Settings", 3 "Text",
// 4 "Method") on a fresh data folder, ending in real jobs to the test SMTP
// server; modal dialogs are worked when the event loop runs them.
#include "Main.h"

#include "DlgCompl.h"
#include "DlgEdMsg.h"
#include "DlgSett.h"
#include "FakePowerInhibitor.h"
#include "FileDialogs.h"
#include "HangGuard.h"
#include "JobListFile.h"
#include "MessageBoxRecorder.h"
#include "PnAdList.h"
#include "PnEmail.h"
#include "PnMsg.h"
#include "PnSett.h"
#include "TButtonText.h"
#include "TCardLabel.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "TIntSpinEdit.h"
#include "TJobTimer.h"
#include "TRecipientModel.h"
#include "TTxtBtnPanel.h"
#include "TVTxtBtnPanel.h"
#include "TempDataFolder.h"
#include "TestSmtpServer.h"
#include "TextCodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"newsletter"_s;
// Blanks at the ends belong to the password.
const QString Password = u" pa ss "_s;

/** Works the next modal dialog of type T once the event loop runs it. */
template <typename T> void OnNextModal(std::function<void(T *)> handle)
{
    QTimer::singleShot(0, [handle = std::move(handle)] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        handle(dialog);
    });
}

/** The header lines of a header block, without the named fields (with their folded lines). */
QStringList HeaderLinesWithout(const QString &block, const QStringList &names)
{
    QStringList lines;
    bool skipping = false;
    for (const QString &line : block.split(u'\n')) {
        const QString l = line.endsWith(u'\r') ? line.chopped(1) : line;
        if (l.isEmpty())
            continue;
        if (!l.startsWith(u' ') && !l.startsWith(u'\t'))
            skipping = names.contains(l.section(u':', 0, 0), Qt::CaseInsensitive);
        if (!skipping)
            lines.append(l);
    }
    return lines;
}

class MainEditCommandsTest : public testing::Test {
protected:
    static TestSmtpServerOptions Options()
    {
        TestSmtpServerOptions o;
        o.User = User;
        o.Password = Password;
        o.RequireAuth = true;
        return o;
    }
    MainEditCommandsTest()
        : smtp(Options())
    {
        // The job summary is closed whenever it opens.
        summary.setInterval(5);
        QObject::connect(&summary, &QTimer::timeout, &summary, [] {
            if (auto *dialog = qobject_cast<TSummaryDialog *>(QApplication::activeModalWidget()))
                dialog->done(TSummaryDialog::CloseResult);
        });
        summary.start();
    }
    ~MainEditCommandsTest() override { SetFileDialogHook(nullptr); }

    void Open()
    {
        form = std::make_unique<TBryMainForm>(std::make_unique<FakePowerInhibitor>());
        form->JobTimer().SetInterval(10);
        form->show();
    }
    bool Enabled(const TCommandLinkBar *bar, CommandId command) const
    {
        const TCardLabel *link = bar->Link(command);
        return link && link->isEnabled();
    }
    testing::AssertionResult RunJob(CommandId command)
    {
        form->ExecuteCommand(nullptr, command);
        if (QTest::qWaitFor([&] { return form->CurrentJobMode() == JobMode::Idle; }, HangGuardMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the job had still not ended after " << HangGuardMs / 1000 << " s";
    }
    void AnswerFileDialog(const QString &path)
    {
        SetFileDialogHook([path](FileDialogRequest &) { return QStringList{path}; });
    }
    QString WriteFile(const QString &name, const QString &text) const
    {
        WriteTextFileAtomic(data.Path(name), text);
        return data.Path(name);
    }
    static void Type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    TestSmtpServer smtp;
    QTimer summary;
    std::unique_ptr<TBryMainForm> form;
};

} // namespace

TEST_F(MainEditCommandsTest, FromFirstStartToASentJobThroughTheWindow)
{
    Open();
    TCommandLinkBar *connection = form->SettPanel()->Buttons();
    ASSERT_TRUE(Enabled(connection, cmConnSettings));
    EXPECT_FALSE(Enabled(connection, cmTestConnection));

    // Command 0: the connection page, typed in as a user would.
    OnNextModal<TEMSettDialog>([](TEMSettDialog *d) {
        EXPECT_EQ(d->windowTitle(), u"Connection Settings"_s);
        Type(d->EditRow(spSmtpServer), TestSmtpServer::Host());
        Type(d->SpinRow(spSmtpPort), u"2525"_s);
        d->CheckBoxRow(spSmtpAuth)->click(); // asks first; the recorder answers Yes
        Type(d->EditRow(spSmtpUser), User);
        Type(d->EditRow(spPassword), Password);
        Type(d->EditRow(spYourEmail), u"news@example.org"_s);
        Type(d->EditRow(spYourName), u"Example News"_s);
        d->ButtonBar->Button(bOK)->click();
    });
    form->ExecuteCommand(nullptr, cmConnSettings);
    const QString config = ReadTextFile(TESettings::ConfigFileName());
    EXPECT_TRUE(config.contains(u"SMTP_Server=127.0.0.1"_s));
    EXPECT_TRUE(config.contains(u"SMTP_Port=2525"_s));
    EXPECT_TRUE(config.contains(u"SMTP_Auth=1"_s));
    EXPECT_TRUE(config.contains(u"SMTP_User=newsletter"_s));
    EXPECT_FALSE(config.contains(u"pa ss"_s));
    TESettings stored;
    stored.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(stored.Param(spPassword).GetStr(), Password);
    EXPECT_TRUE(config.contains(u"Password="_s + stored.EncodePassword() + u"\r\n"_s));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(TESettings::ConfigFileName()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(Enabled(connection, cmTestConnection));
    EXPECT_EQ(form->SettPanel()->Model()->index(0, 2).data().toString(), u"127.0.0.1"_s);

    // Command 2: subject and message file.
    const QString letter = WriteFile(u"letter.txt"_s, u"Dear %1,\r\nWelcome.\r\n"_s);
    AnswerFileDialog(letter);
    OnNextModal<TEMSettDialog>([](TEMSettDialog *d) {
        EXPECT_EQ(d->windowTitle(), u"Message Settings"_s);
        Type(d->EditRow(spSubject), u"Hello %1"_s);
        d->ValueFieldRow(spMessageFile)->Button()->click();
        d->ButtonBar->Button(bOK)->click();
    });
    form->ExecuteCommand(nullptr, cmMsgSettings);
    EXPECT_EQ(form->MsgPanel()->Model()->index(1, 2).data().toString(), u"letter.txt"_s);

    // Command 3: a line added in the text editor, kept in the working copy only.
    OnNextModal<TEditDialog>([](TEditDialog *d) {
        d->Memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(d->Memo, u"P.S. Thanks."_s);
        d->ButtonBar->Button(bOK)->click();
    });
    form->ExecuteCommand(nullptr, cmText);
    EXPECT_EQ(ReadTextFile(letter), u"Dear %1,\r\nWelcome.\r\n"_s);

    // Command 4: the method page, confirmed as it is.
    OnNextModal<TEMSettDialog>([](TEMSettDialog *d) {
        EXPECT_EQ(d->windowTitle(), u"Choose the way e-mails will be sent"_s);
        d->ButtonBar->Button(bOK)->click();
    });
    form->ExecuteCommand(nullptr, cmMethod);

    // A list, and the job.
    AnswerFileDialog(WriteFile(u"list.csv"_s, u"ann@example.org,Ann\r\nbob@example.org,Bob\r\n"_s));
    form->ExecuteCommand(nullptr, cmImport);
    ASSERT_EQ(form->AdListPanel()->ItemCount(), 2);
    EXPECT_TRUE(Enabled(form->EmailPanel()->Buttons(), cmSendAll));
    // The test server listens above the highest port the page takes (9999):
    // its port goes straight into the live settings.
    form->Settings()->Param(spSmtpPort).SetInt(smtp.PlainPort());
    ASSERT_TRUE(RunJob(cmSendAll));
    ASSERT_TRUE(smtp.WaitForMessages(2));
    const QList<RecordedMessage> sent = smtp.Messages();
    EXPECT_EQ(sent[0].AuthUser, User);
    EXPECT_EQ(sent[0].RcptTos, QStringList{u"ann@example.org"_s});
    EXPECT_EQ(sent[1].Header(u"Subject"_s), u"Hello Bob"_s);
    EXPECT_EQ(sent[1].Parts[0].Text, u"Dear Bob,\r\nWelcome.\r\nP.S. Thanks.\r\n"_s);
    EXPECT_TRUE(boxes.Boxes().size() == 1 && boxes.Boxes()[0].type == MsgDlgType::Warning);
}

TEST_F(MainEditCommandsTest, HeaderPreviewShowsTheHeaderLinesTheJobSends)
{
    TESettings s;
    s.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
    s.Param(spSmtpAuth).SetBool(true);
    s.Param(spSmtpUser).SetStr(User);
    s.Param(spPassword).SetStr(Password);
    s.Param(spYourEmail).SetStr(u"news@example.org"_s);
    s.Param(spYourName).SetStr(u"Jörg Müller"_s);
    s.Param(spSubject).SetStr(u"Old subject"_s);
    s.Param(spReplyEna).SetBool(true);
    s.Param(spReplyTo).SetStr(u"reply@example.org"_s);
    s.Param(spBccEmails).SetBool(true);
    s.Param(spBccTo).SetStr(u"copy@example.org"_s);
    s.Param(spCharSet).SetStr(u"iso-8859-1"_s);
    s.Param(spExtraHdrEna).SetBool(true);
    s.ExtraHeaders = {u"X-Campaign: Spring"_s, u"Importance: Normal"_s};
    s.ReadWriteConfig(true, SettingsGroupSet::All());
    WriteTextFileAtomic(TESettings::MessageCopyFileName(), u"Liebe Leserin,\r\nschöne Grüße.\r\n"_s);
    WriteJobList(JobListPath(),
                 {{RecipientStatus::NotSent, u"reader@example.org"_s, {u"Reader"_s}, u"Not yet sent"_s}});
    Open();

    // "&Headers..." of the message page saves it and opens the headers page above it.
    const QString subject = u"Grüße aus Köln, diesmal mit einem recht langen Betreff für die Faltung"_s;
    QString preview;
    OnNextModal<TEMSettDialog>([&](TEMSettDialog *messagePage) {
        OnNextModal<TEMSettDialog>([&preview](TEMSettDialog *headersPage) {
            EXPECT_EQ(headersPage->windowTitle(), u"Customize Message Headers"_s);
            preview = headersPage->HeaderPreview->toPlainText();
            headersPage->ButtonBar->Button(bCancel)->click();
        });
        messagePage->EditRow(spSubject)->setText(subject);
        messagePage->ButtonBar->Button(bSetup)->click();
        messagePage->ButtonBar->Button(bCancel)->click();
    });
    form->ExecuteCommand(nullptr, cmMsgSettings);
    ASSERT_FALSE(preview.isEmpty());
    // The Cancel undoes nothing of that save, and the panel shows what a job sends.
    EXPECT_EQ(form->MsgPanel()->Model()->index(0, 2).data().toString(), subject);

    form->Settings()->Param(spSmtpPort).SetInt(smtp.PlainPort());
    ASSERT_TRUE(RunJob(cmSendAll));
    ASSERT_TRUE(smtp.WaitForMessages(1));
    const RecordedMessage sent = smtp.Messages().first();
    const QStringList apart{u"Date"_s, u"Message-ID"_s, u"To"_s};
    const QStringList job = HeaderLinesWithout(QString::fromLatin1(sent.HeaderBlock()), apart);
    EXPECT_EQ(HeaderLinesWithout(preview, apart), job);
    // The comparison covers what the settings put into the header.
    EXPECT_TRUE(job.join(u'\n').contains(u"X-Campaign: Spring"_s));
    EXPECT_TRUE(job.join(u'\n').contains(u"MIME-Version: 1.0"_s));
    EXPECT_EQ(sent.Header(u"Reply-To"_s), u"reply@example.org"_s);
    EXPECT_TRUE(sent.RcptTos.contains(u"copy@example.org"_s));
}

TEST_F(MainEditCommandsTest, ResetStatusOffersSendAllRemainingAtOnce)
{
    TESettings s;
    s.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
    s.Param(spYourEmail).SetStr(u"news@example.org"_s);
    s.Param(spYourName).SetStr(u"News"_s);
    s.Param(spSubject).SetStr(u"Hello"_s);
    s.ReadWriteConfig(true, SettingsGroupSet::All());
    WriteJobList(JobListPath(), {{RecipientStatus::Sent, u"a@example.org"_s, {}, u"Sent on 1"_s},
                                 {RecipientStatus::Sent, u"b@example.org"_s, {}, u"Sent on 1"_s}});
    Open();
    TAdListPanel &list = *form->AdListPanel();
    list.List()->selectionModel()->select(list.RecipientModel().index(1, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_FALSE(Enabled(form->EmailPanel()->Buttons(), cmSendAll));
    form->ExecuteCommand(nullptr, cmResetStatus);
    EXPECT_EQ(list.StatusCount(RecipientStatus::NotSent), 1);
    EXPECT_TRUE(Enabled(form->EmailPanel()->Buttons(), cmSendAll));
}
