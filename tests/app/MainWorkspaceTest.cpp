// The main window's workspace commands: backup, restore, the first run's
// welcome, the HTML preview (through a fake of the engine's dialog) and the
// about box, with every dialog answered by the seams.
#include "Main.h"

#include "AtomicFile.h"
#include "DlgAbout.h"
#include "DlgRestr.h"
#include "DlgWelcm.h"
#include "FakePowerInhibitor.h"
#include "FileDialogs.h"
#include "HangGuard.h"
#include "HtmlPreview.h"
#include "IniFile.h"
#include "JobListFile.h"
#include "MessageBoxRecorder.h"
#include "ModalDialog.h"
#include "PnAdList.h"
#include "PnEmail.h"
#include "StartupEnv.h"
#include "TCardLabel.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "TRecipientModel.h"
#include "TTxtBtnPanel.h"
#include "TVTxtBtnPanel.h"
#include "TempDataFolder.h"
#include "TextCodec.h"
#include "Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

/** @short Stands in for the web-engine preview: records what the main window tells it. */
class FakePreview final : public IHtmlPreview {
public:
    struct Navigation {
        bool prior;
        bool next;
        bool operator==(const Navigation &) const = default;
    };

    void SetNavigationEnabled(bool PriorEnabled, bool NextEnabled) override
    {
        navigation.append({PriorEnabled, NextEnabled});
    }
    void SetHtmlText(const QString &html) override { htmlText = html; }
    void PostReload() override { reloaded.append(htmlText); }
    void Execute() override
    {
        if (whileOpen)
            whileOpen(*this);
    }

    PreviewNavigateFn onNavigate;
    std::function<void(FakePreview &)> whileOpen;
    QList<Navigation> navigation;
    QString htmlText;
    QStringList reloaded;
};

class MainWorkspaceTest : public testing::Test {
protected:
    void TearDown() override
    {
        SetFileDialogHook(nullptr);
        SetHtmlPreviewFactory(nullptr);
    }

    /** The workspace of a previous run: settings, message and a list of three, one of each status. */
    void Configure(const QString &message = u"Dear %1,\r\nHello.\r\n"_s)
    {
        TESettings s;
        s.Param(spSmtpServer).SetStr(u"smtp.saved.example"_s);
        s.Param(spYourEmail).SetStr(u"sender@example.com"_s);
        s.Param(spYourName).SetStr(u"Sender"_s);
        s.Param(spSubject).SetStr(u"Saved subject"_s);
        WriteTextFileAtomic(TESettings::MessageCopyFileName(), message);
        s.ReadWriteConfig(true, SettingsGroupSet::All());
        WriteJobList(JobListPath(),
                     {{RecipientStatus::NotSent, u"ann@saved.example"_s, {u"Ann"_s}, u"Not yet sent"_s},
                      {RecipientStatus::Sent, u"bob@saved.example"_s, {u"Bob"_s}, u"Sent on 1.1.2025"_s},
                      {RecipientStatus::Failed, u"cay@saved.example"_s, {u"Cay"_s}, u"Error: refused"_s}});
    }
    void Open()
    {
        form.reset();
        form = std::make_unique<TBryMainForm>(std::make_unique<FakePowerInhibitor>());
        form->show();
    }
    TAdListPanel &List() const { return *form->AdListPanel(); }
    TESettings &Settings() const { return *form->Settings(); }
    QStringList Addresses() const
    {
        QStringList addresses;
        for (const TRecipient &r : List().RecipientModel().Recipients())
            addresses.append(r.Address);
        return addresses;
    }
    QList<RecipientStatus> Statuses() const
    {
        QList<RecipientStatus> statuses;
        for (const TRecipient &r : List().RecipientModel().Recipients())
            statuses.append(r.Status);
        return statuses;
    }
    static QString StoredSetting(const QString &key)
    {
        return IniFile(TESettings::ConfigFileName()).ReadString(u"Settings"_s, key, u"<none>"_s);
    }
    /** What a user does after a backup: new settings, message and list, all saved. */
    void ChangeEverything()
    {
        Settings().Param(spSmtpServer).SetStr(u"smtp.changed.example"_s);
        Settings().Param(spSubject).SetStr(u"Changed subject"_s);
        Settings().MessageText = {u"Changed message for %1"_s};
        Settings().SaveMessage(false);
        Settings().ReadWriteConfig(true, SettingsGroupSet::All());
        WriteJobList(JobListPath(),
                     {{RecipientStatus::Sent, u"new@changed.example"_s, {u"New"_s}, u"Sent on 2.2.2025"_s}});
        List().LoadJobList(true);
    }
    void Backup(const QString &chosen)
    {
        SetFileDialogHook([chosen](FileDialogRequest &request) {
            EXPECT_TRUE(request.save);
            EXPECT_EQ(request.title, u"Backup Workspace"_s);
            EXPECT_TRUE(request.overwritePrompt);
            EXPECT_EQ(request.folder, SpecialFolder(0));
            EXPECT_EQ(request.nameFilters, QStringList{u"Workspace Files (*.bxk)"_s});
            return chosen.isEmpty() ? QStringList() : QStringList{chosen};
        });
        form->ExecuteCommand(nullptr, cmBackup);
    }
    /** A restore from the archive with the four options as given; Proceed, then afterProceed. */
    void Restore(const QString &archive, std::array<bool, RestoreOptionCount> options,
                 const std::function<void()> &afterProceed = {})
    {
        SetFileDialogHook([archive](FileDialogRequest &request) {
            EXPECT_FALSE(request.save);
            EXPECT_EQ(request.title, u"Restore Workspace"_s);
            return QStringList{archive};
        });
        WhenOpen<TRestoreDialog>([options, afterProceed](TRestoreDialog &dialog) {
            for (int i = 0; i < RestoreOptionCount; ++i)
                dialog.CheckBox(RestoreOption(i))->setChecked(options[size_t(i)]);
            dialog.Buttons()->Button(bOK)->click();
            if (afterProceed)
                afterProceed();
        });
        form->ExecuteCommand(nullptr, cmRestore);
        // A restore refused before its dialog leaves the answer pending: spent here, not in the next restore.
        QApplication::processEvents();
    }
    /** An archive written by Python's zipfile: the writes given, with the ZipFile as z. */
    static void WriteZip(const QString &archive, const QString &writes)
    {
        QProcess python;
        python.start(u"python3"_s, {u"-c"_s,
                                    u"import sys, zipfile\n"
                                    "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"_s
                                        + writes,
                                    archive});
        ASSERT_TRUE(python.waitForFinished(HangGuardMs))
            << "Python had not finished writing the archive after " << HangGuardMs / 1000 << " s ("
            << python.errorString().toStdString() << ")";
        ASSERT_EQ(python.exitCode(), 0);
    }
    void Select(int row) const
    {
        QItemSelectionModel *selection = List().List()->selectionModel();
        selection->setCurrentIndex(List().RecipientModel().index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    std::unique_ptr<TBryMainForm> form;
};

} // namespace

TEST_F(MainWorkspaceTest, RestoreBringsBackWhatTheOptionsChoose)
{
    Configure();
    Open();
    const QString archive = data.Path(u"June.bxk"_s);
    Backup(data.Path(u"June.zip"_s));
    ASSERT_TRUE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(data.Path(u"June.zip"_s)));

    // Connection only: the server comes back, the message and the list stay, and the
    // file says so at once (the backup's other groups do not linger in it).
    ChangeEverything();
    Restore(archive, {true, false, false, false});
    EXPECT_EQ(Settings().Param(spSmtpServer).GetStr(), u"smtp.saved.example"_s);
    EXPECT_EQ(Settings().Param(spSubject).GetStr(), u"Changed subject"_s);
    EXPECT_EQ(Settings().MessageText.join(u'\n'), u"Changed message for %1"_s);
    EXPECT_EQ(Addresses(), QStringList{u"new@changed.example"_s});
    EXPECT_EQ(StoredSetting(u"SMTP_Server"_s), u"smtp.saved.example"_s);
    EXPECT_EQ(StoredSetting(u"Subject"_s), u"Changed subject"_s);
    // The configuration holds the scrambled password.
    EXPECT_EQ(QFileInfo(TESettings::ConfigFileName()).permissions() & (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());

    // Message only.
    ChangeEverything();
    Restore(archive, {false, true, false, false});
    EXPECT_EQ(Settings().Param(spSmtpServer).GetStr(), u"smtp.changed.example"_s);
    EXPECT_EQ(Settings().Param(spSubject).GetStr(), u"Saved subject"_s);
    EXPECT_EQ(Settings().MessageText.join(u'\n'), u"Dear %1,\nHello."_s);
    EXPECT_EQ(Addresses(), QStringList{u"new@changed.example"_s});

    // The list only, statuses kept.
    ChangeEverything();
    Restore(archive, {false, false, true, false});
    EXPECT_EQ(Settings().Param(spSubject).GetStr(), u"Changed subject"_s);
    EXPECT_EQ(Addresses(), (QStringList{u"ann@saved.example"_s, u"bob@saved.example"_s, u"cay@saved.example"_s}));
    EXPECT_EQ(Statuses(),
              (QList<RecipientStatus>{RecipientStatus::NotSent, RecipientStatus::Sent, RecipientStatus::Failed}));

    // The status reset alone keeps the current list and sends everybody again.
    ChangeEverything();
    Restore(archive, {false, false, false, true});
    EXPECT_EQ(Settings().Param(spSmtpServer).GetStr(), u"smtp.changed.example"_s);
    EXPECT_EQ(Addresses(), QStringList{u"new@changed.example"_s});
    EXPECT_EQ(Statuses(), QList<RecipientStatus>{RecipientStatus::NotSent});
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows[0].Status, RecipientStatus::NotSent);

    // Everything.
    ChangeEverything();
    Restore(archive, {true, true, true, true});
    EXPECT_EQ(Settings().Param(spSmtpServer).GetStr(), u"smtp.saved.example"_s);
    EXPECT_EQ(Settings().Param(spSubject).GetStr(), u"Saved subject"_s);
    EXPECT_EQ(Addresses().size(), 3);
    EXPECT_EQ(Statuses(),
              (QList<RecipientStatus>{RecipientStatus::NotSent, RecipientStatus::NotSent, RecipientStatus::NotSent}));
    EXPECT_EQ(List().StatusCount(RecipientStatus::NotSent), 3);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

// A ZIP file that is no workspace backup: refused before the options are even
// asked for, so not one file of the data folder is written, the stored restore
// options included.
TEST_F(MainWorkspaceTest, AForeignArchiveChangesNoFileOfTheDataFolder)
{
    Configure();
    Open();
    const QString archive = data.Path(u"photos.bxk"_s);
    WriteZip(archive, uR"(
    z.writestr('holiday.jpg', b'not a workspace')
    z.writestr('../bry_cnfg.ini', b'[Settings]\r\nSMTP_Server=evil.example\r\n')
)"_s);
    Backup(data.Path(u"June.bxk"_s));
    Restore(data.Path(u"June.bxk"_s), {false, false, false, false}); // stores the restore options
    const QDateTime old = QDateTime::fromSecsSinceEpoch(1'600'000'000);
    QStringList before;
    for (const QFileInfo &file : QDir(ProgramDir()).entryInfoList(QDir::Files)) {
        QFile touched(file.filePath());
        ASSERT_TRUE(touched.open(QIODevice::ReadWrite) && touched.setFileTime(old, QFileDevice::FileModificationTime));
        before.append(file.fileName());
    }
    ASSERT_TRUE(before.contains(u"bry_rstr.ini"_s));

    Restore(archive, {true, true, true, true});
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, u"The file \"%1\" holds no workspace files."_s.arg(archive));
    QStringList after;
    for (const QFileInfo &file : QDir(ProgramDir()).entryInfoList(QDir::Files)) {
        EXPECT_EQ(file.lastModified(), old) << file.fileName().toStdString();
        after.append(file.fileName());
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(Statuses(),
              (QList<RecipientStatus>{RecipientStatus::NotSent, RecipientStatus::Sent, RecipientStatus::Failed}));
    EXPECT_EQ(Settings().Param(spSmtpServer).GetStr(), u"smtp.saved.example"_s);
}

TEST_F(MainWorkspaceTest, ARestoreWhoseLastWriteFailsStillRefreshesTheCommands)
{
    Configure();
    Open();
    const QString archive = data.Path(u"June.bxk"_s);
    Backup(archive);
    ChangeEverything();
    Select(0);
    const TCardLabel *sendAll = form->EmailPanel()->Buttons()->Link(cmSendAll);
    ASSERT_FALSE(sendAll->isEnabled());

    // The configuration now names a file in a folder that is gone: its final write fails.
    QFile::remove(TESettings::ConfigFileName());
    ASSERT_TRUE(QFile::link(data.Path(u"gone/bry_cnfg.ini"_s), TESettings::ConfigFileName()));
    Restore(archive, {false, false, false, true});
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Unable to write to "_s + TESettings::ConfigFileName());
    EXPECT_EQ(Statuses(), QList<RecipientStatus>{RecipientStatus::NotSent});
    EXPECT_TRUE(sendAll->isEnabled());
}

// The restored files are in place, their folder not synced: the box names
// them, and the window takes them in, so that closing it keeps them.
TEST_F(MainWorkspaceTest, ARestoreWhoseFolderSyncFailsStillTakesInTheFiles)
{
    Configure();
    Open();
    const QString archive = data.Path(u"June.bxk"_s);
    Backup(archive);
    ChangeEverything();
    Restore(archive, {true, true, true, false}, [] { FailFolderSyncsForTests(1); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Unable to write to %1\r\nThese files now hold the backup's content: "
                                     u"bry_cnfg.ini, bry_msg.bxq, bry_jlst.bxq."_s.arg(ProgramDirNoBackslash()));
    EXPECT_EQ(Addresses().size(), 3);
    form->close();
    EXPECT_EQ(StoredSetting(u"SMTP_Server"_s), u"smtp.saved.example"_s);
}

// The list cannot take its place and the configuration cannot go back (a
// failing disk, on a file system without exchange or hard links: the 7th and
// 11th renames fail): the box says where the current configuration was kept,
// the window takes in the backup's settings, and keeps the message that went
// back, the list and its statuses.
TEST_F(MainWorkspaceTest, ARestoreWhoseConfigurationCannotGoBackTakesInItsSettings)
{
    Configure();
    Open();
    const QString archive = data.Path(u"June.bxk"_s);
    Backup(archive);
    ChangeEverything();
    const auto unlimited = qScopeGuard([] { LimitFileSystemForTests(0, false); });
    LimitFileSystemForTests(EINVAL, true, 7, 11);
    Restore(archive, {true, true, true, true});
    ASSERT_EQ(boxes.Boxes().size(), 1);
    const QString kept = boxes.Boxes()[0].text.section(u" was kept as "_s, 1).section(u".\r\n"_s, 0, 0);
    EXPECT_EQ(boxes.Boxes()[0].text,
              u"Unable to write to %1\r\nbry_cnfg.ini now holds the backup's content; its previous "
              u"content was kept as %2.\r\nNothing else was restored."_s.arg(JobListPath(), kept));
    EXPECT_EQ(IniFile(kept).ReadString(u"Settings"_s, u"SMTP_Server"_s, {}), u"smtp.changed.example"_s);
    EXPECT_EQ(Settings().Param(spSmtpServer).GetStr(), u"smtp.saved.example"_s);
    EXPECT_EQ(Settings().MessageText.join(u'\n'), u"Changed message for %1"_s);
    EXPECT_EQ(Statuses(), QList<RecipientStatus>{RecipientStatus::Sent});
    form->close();
    EXPECT_EQ(StoredSetting(u"SMTP_Server"_s), u"smtp.saved.example"_s);
}

TEST_F(MainWorkspaceTest, ForcedExtensionAsksBeforeReplacingAnotherFile)
{
    Configure();
    Open();
    const QString archive = data.Path(u"June.bxk"_s);
    WriteFileAtomic(archive, "an older backup");

    // "June.zip" becomes "June.bxk", which the dialog did not ask about.
    boxes.QueueAnswer(false);
    Backup(data.Path(u"June.zip"_s));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Warning);
    EXPECT_EQ(boxes.Boxes()[0].text, u"File \"%1\" already exists.\r\nDo you want to replace it?"_s.arg(archive));
    EXPECT_FALSE(QFile::exists(data.Path(u"June.zip"_s)));
    QFile kept(archive);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "an older backup");
    kept.close();

    boxes.QueueAnswer(true);
    Backup(data.Path(u"June.zip"_s));
    EXPECT_EQ(ReadWorkspaceArchive(archive, {u"bry_cnfg.ini"_s}).size(), 1);

    // The name the dialog itself asked about, and a cancelled dialog, bring no question.
    boxes.Clear();
    Backup(archive);
    Backup(QString());
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(MainWorkspaceTest, BackupOfTheWindowsProgramRestoresItsTextAndKeepsItsPaths)
{
    Configure();
    Open();
    // What the Windows program wrote: Windows-1252 text and Windows paths.
    const QString archive = data.Path(u"windows.bxk"_s);
    WriteZip(archive, uR"(
    z.writestr('bry_cnfg.ini', b'[Settings]\r\nSMTP_Server=smtp.example.org\r\nYour_Name=Jos\xe9 M\xfcller\r\n'
               b'Message_File=C:\\Newsletter\\M\xe4rz.htm\r\n[Attachments]\r\nATT_00=C:\\Newsletter\\Preis.pdf\r\n')
    z.writestr('bry_msg.bxq', b'Gr\xfc\xdfe, %1!\r\n')
    z.writestr('bry_jlst.bxq', b'0|j\xf6rg@example.org|J\xf6rg|Not yet sent\r\n')
)"_s);

    Restore(archive, {true, true, true, false});
    EXPECT_EQ(Settings().Param(spYourName).GetStr(), u"José Müller"_s);
    EXPECT_EQ(Settings().Param(spMessageFile).GetStr(), u"C:\\Newsletter\\März.htm"_s);
    EXPECT_EQ(Settings().MessageText, QStringList{u"Grüße, %1!"_s});
    EXPECT_EQ(Settings().AttachmentPaths, QStringList{u"C:\\Newsletter\\Preis.pdf"_s});
    ASSERT_EQ(List().RecipientModel().Recipients().size(), 1u);
    EXPECT_EQ(List().Recipient(0).Params, QStringList{u"Jörg"_s});
    // The attachment check at the start of a job names the path that does not exist here.
    EXPECT_FALSE(Settings().CheckAttachments());
    ASSERT_FALSE(boxes.Boxes().isEmpty());
    EXPECT_TRUE(boxes.Boxes().last().text.contains(u"C:\\Newsletter\\Preis.pdf"_s));
}

TEST_F(MainWorkspaceTest, TheWelcomeOpensOnceOnTheFirstRun)
{
    // The first start: an empty configuration and the welcome text.
    WriteFileAtomic(TESettings::ConfigFileName(), QByteArray());
    WriteFileAtomic(WelcomeFileName(), "{\\rtf1\\ansi Welcome!\\par}");
    int shown = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
        if (auto *dialog = qobject_cast<TWelcomeDialog *>(QApplication::activeModalWidget())) {
            ++shown;
            dialog->Buttons->Link(cmClose)->Click();
        }
    });
    answer.start(5);
    Open();
    EXPECT_TRUE(form->StartTimer()->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown == 1; }, HangGuardMs))
        << "after " << HangGuardMs / 1000 << " s the welcome had opened " << shown << " times, not once";
    EXPECT_FALSE(QFile::exists(WelcomeFileName()));

    // The next start finds no welcome text: nothing opens.
    Open();
    EXPECT_FALSE(form->StartTimer()->isActive());
    // A welcome text beside a configuration that is no longer empty is deleted unseen.
    form.reset();
    Configure();
    WriteFileAtomic(WelcomeFileName(), "{\\rtf1 Welcome!}");
    Open();
    EXPECT_FALSE(form->StartTimer()->isActive());
    EXPECT_FALSE(QFile::exists(WelcomeFileName()));
    QTest::qWait(300);
    EXPECT_EQ(shown, 1);
}

TEST_F(MainWorkspaceTest, HtmlPreviewFollowsTheSelectionAndStepsThroughTheList)
{
    Configure(u"<html><body><p>Dear %1</p></body></html>\r\n"_s);
    Open();
    FakePreview *preview = nullptr;
    QList<FakePreview::Navigation> navigation;
    QStringList reloaded;
    QString firstText;
    SetHtmlPreviewFactory([&](QWidget *, PreviewNavigateFn onNavigate) -> std::unique_ptr<IHtmlPreview> {
        auto fake = std::make_unique<FakePreview>();
        fake->onNavigate = std::move(onNavigate);
        fake->whileOpen = [&](FakePreview &open) {
            EXPECT_EQ(form->HtmlDialog(), &open);
            firstText = open.htmlText;
            open.onNavigate(bNext);
            open.onNavigate(bNext);
            open.onNavigate(bNext);
            open.onNavigate(bBack);
            // The user's own selection in the list is followed too.
            Select(2);
            navigation = open.navigation;
            reloaded = open.reloaded;
        };
        preview = fake.get();
        return fake;
    });
    form->ExecuteCommand(nullptr, cmHtmlPreview);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(form->HtmlDialog(), nullptr);

    // Nothing selected: the unpersonalised text; the next row is the first.
    EXPECT_EQ(firstText, u"<html><body><p>Dear %1</p></body></html>\r\n"_s);
    EXPECT_EQ(navigation, (QList<FakePreview::Navigation>{
                              {false, true}, {false, true}, {true, true}, {true, false}, {true, true}}));
    EXPECT_EQ(reloaded, (QStringList{u"<html><body><p>Dear Ann</p></body></html>\r\n"_s,
                                     u"<html><body><p>Dear Bob</p></body></html>\r\n"_s,
                                     u"<html><body><p>Dear Cay</p></body></html>\r\n"_s,
                                     u"<html><body><p>Dear Bob</p></body></html>\r\n"_s,
                                     u"<html><body><p>Dear Cay</p></body></html>\r\n"_s}));

    // A message that is the same for everybody has nobody to step to.
    Settings().MessageText = {u"<html><body>Hello all</body></html>"_s};
    Settings().AnalyseMessage();
    navigation.clear();
    form->ExecuteCommand(nullptr, cmHtmlPreview);
    EXPECT_EQ(navigation.first(), (FakePreview::Navigation{false, false}));
}

TEST_F(MainWorkspaceTest, AboutBackupAndRestoreAreAvailableWhileIdle)
{
    Configure();
    Open();
    const TCommandLinkBar *bar = form->EmailPanel()->Buttons();
    for (const CommandId command : {cmBackup, cmRestore, cmHelp, cmAbout})
        EXPECT_TRUE(bar->Link(command)->isEnabled()) << int(command);
    // A text message offers no preview.
    EXPECT_FALSE(bar->Link(cmHtmlPreview)->isEnabled());

    bool shown = false;
    WhenOpen<TAboutDialog>([&](TAboutDialog &dialog) {
        shown = dialog.isVisible();
        dialog.BtnOK->click();
    });
    form->ExecuteCommand(nullptr, cmAbout);
    EXPECT_TRUE(shown);
}
