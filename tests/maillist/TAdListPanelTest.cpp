#include "PnAdList.h"

#include "AppError.h"
#include "DlgEdRcp.h"
#include "DlgProgr.h"
#include "FileDialogs.h"
#include "HangGuard.h"
#include "IniFile.h"
#include "JobListFile.h"
#include "JobListJournal.h"
#include "ListImport.h"
#include "MessageBoxRecorder.h"
#include "StartupEnv.h"
#include "TCardLabel.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "TEmailMessage.h"
#include "TRecipientModel.h"
#include "TRestoreSett.h"
#include "TTxtBtnPanel.h"
#include "TempDataFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteText(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// Answers the next modal dialog once the event loop runs it.
void OnNextModal(std::function<void(QWidget *)> handle)
{
    QTimer::singleShot(0, [handle = std::move(handle)] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        handle(modal);
    });
}

class TAdListPanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetFileDialogHook([this](FileDialogRequest &request) {
            requests.append(request);
            return answers.isEmpty() ? QStringList() : QStringList{answers.takeFirst()};
        });
    }

    void TearDown() override
    {
        SetFileDialogHook(nullptr);
        delete panel;
    }

    void Build()
    {
        panel = new TAdListPanel(&window);
        panel->SetSettings(&settings);
        panel->Build({cmImport, cmExport, cmClear, cmAdd, cmEdit, cmDelete}, 0xF8D8B8, 0x584820, 0xD0F7FF, 0x80A8AB);
        panel->SetBounds(0, 0, 420, 420);
        window.resize(440, 440);
        window.show();
        commands = std::make_unique<QSignalSpy>(panel, &TRndBtnPanel::OnCommand);
        selects = std::make_unique<QSignalSpy>(panel, &TAdListPanel::OnSelect);
    }

    // A job-list file of rows with the given statuses and one parameter, then Build.
    void BuildWith(std::initializer_list<int> statuses)
    {
        QString text;
        int i = 0;
        for (const int s : statuses) {
            text += u"%1|u%2@x.org|Name %2|%3\r\n"_s.arg(s).arg(i).arg(
                s == 0 ? u"Not yet sent"_s : (s == 1 ? u"Sent on 1.2.2024"_s : u"Error: refused"_s));
            ++i;
        }
        WriteText(JobListPath(), text);
        Build();
    }

    QTableView *List() const { return panel->List(); }

    bool LinkEnabled(CommandId id) const { return panel->Buttons()->Link(id)->isEnabled(); }

    QPoint RowCentre(int row) const { return List()->visualRect(panel->RecipientModel().index(row, 1)).center(); }

    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, modifiers, RowCentre(row));
    }

    QList<CommandId> Commands() const
    {
        QList<CommandId> ids;
        for (const QList<QVariant> &args : *commands)
            ids.append(args.at(1).value<CommandId>());
        return ids;
    }

    QString Addresses() const
    {
        QStringList out;
        for (const TRecipient &r : panel->RecipientModel().Recipients())
            out.append(r.Address);
        return out.join(u' ');
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    TESettings settings;
    QWidget window;
    TAdListPanel *panel = nullptr;
    std::unique_ptr<QSignalSpy> commands;
    std::unique_ptr<QSignalSpy> selects;
    QList<FileDialogRequest> requests;
    QStringList answers;
};

} // namespace

// --- Loading

TEST_F(TAdListPanelTest, MissingJobListShowsThePlaceholder)
{
    settings.Param(spListFile).SetStr(u"/old/list.csv"_s);
    Build();
    EXPECT_EQ(panel->ItemCount(), 1);
    EXPECT_FALSE(panel->IsValidItem(0));
    EXPECT_EQ(panel->Title(), u"Mailing List"_s);
    EXPECT_TRUE(settings.Param(spListFile).GetStr().isEmpty());
    for (const auto s : {RecipientStatus::NotSent, RecipientStatus::Sent, RecipientStatus::Failed})
        EXPECT_EQ(panel->StatusCount(s), 0);
    EXPECT_TRUE(LinkEnabled(cmImport));
    for (const CommandId id : {cmExport, cmClear, cmAdd, cmEdit, cmDelete})
        EXPECT_FALSE(LinkEnabled(id)) << int(id);
}

TEST_F(TAdListPanelTest, ThePlaceholderCannotBeSelected)
{
    Build();
    ClickRow(0);
    panel->SelectAll();
    EXPECT_EQ(panel->SelCount(), 0);
    EXPECT_EQ(panel->CurrentItem(), -1);
    EXPECT_FALSE(panel->SelectNext());
    EXPECT_TRUE(panel->IsLast());
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_TRUE(Commands().isEmpty());
}

TEST_F(TAdListPanelTest, LoadShowsTitleCountsAndColumns)
{
    settings.Param(spListFile).SetStr(u"/data/friends.csv"_s);
    BuildWith({0, 1, 2, 2});
    EXPECT_EQ(panel->Title(), u"Mailing List - friends.csv"_s);
    EXPECT_EQ(panel->ItemCount(), 4);
    EXPECT_EQ(panel->ParamColumns(), 1);
    EXPECT_EQ(panel->RecipientModel().columnCount(), 3);
    EXPECT_EQ(panel->StatusCount(RecipientStatus::Failed), 2);
    EXPECT_EQ(List()->columnWidth(0), 18);
    EXPECT_GT(panel->ColumnWidths()[0], panel->ColumnWidths()[1]); // addresses are wider than "Name n"
    EXPECT_TRUE(LinkEnabled(cmExport));
    EXPECT_FALSE(LinkEnabled(cmEdit));
}

TEST_F(TAdListPanelTest, LoadListCutsTheLines)
{
    Build();
    QStringList lines;
    for (int i = 0; i < MaxRecipients + 5; ++i)
        lines.append(u"0|u%1@x.org|Not yet sent"_s.arg(i));
    panel->LoadList(lines);
    EXPECT_EQ(lines.size(), MaxRecipients);
    EXPECT_EQ(panel->ItemCount(), MaxRecipients);
    EXPECT_EQ(CurrentProgress(), nullptr);
}

TEST_F(TAdListPanelTest, SaveWritesOnlyRecipients)
{
    Build();
    panel->SaveJobList();
    EXPECT_TRUE(QFile::exists(JobListPath()));
    EXPECT_TRUE(ReadBytes(JobListPath()).isEmpty());
}

TEST_F(TAdListPanelTest, SaveFailureThrowsAndRestoresTheCursor)
{
    BuildWith({0});
    QFile::remove(JobListPath());
    QDir().mkpath(JobListPath());
    EXPECT_THROW(panel->SaveJobList(), AppError);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// --- Selection, keys, pop-up

TEST_F(TAdListPanelTest, MovingTheSelectionRaisesOneEvent)
{
    BuildWith({0, 0, 0});
    ClickRow(1);
    ASSERT_EQ(selects->count(), 1);
    EXPECT_EQ(selects->at(0).at(1).toInt(), 1);
    ClickRow(2);
    ASSERT_EQ(selects->count(), 2);
    EXPECT_EQ(selects->at(1).at(1).toInt(), 2);
    QTest::qWait(250);
    EXPECT_EQ(selects->count(), 2);
    EXPECT_TRUE(LinkEnabled(cmEdit));
}

TEST_F(TAdListPanelTest, DeselectingReportsLateWithNoItem)
{
    BuildWith({0, 0});
    ClickRow(0);
    selects->clear();
    ClickRow(0, Qt::ControlModifier);
    EXPECT_EQ(selects->count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return selects->count() == 1; }, HangGuardMs))
        << "after " << HangGuardMs / 1000 << " s the panel had reported " << selects->count() << " selections, not one";
    EXPECT_EQ(selects->at(0).at(1).toInt(), -1);
    EXPECT_FALSE(LinkEnabled(cmDelete));
}

TEST_F(TAdListPanelTest, EnterAndDeleteNeedASelection)
{
    BuildWith({0, 0});
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_TRUE(Commands().isEmpty());
    ClickRow(1);
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Commands(), (QList<CommandId>{cmEdit, cmDelete}));
}

TEST_F(TAdListPanelTest, DoubleClickEditsOneRow)
{
    BuildWith({0, 0});
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
    EXPECT_TRUE(Commands().isEmpty()); // nothing was selected yet
    ClickRow(0);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
    EXPECT_EQ(Commands(), QList<CommandId>{cmEdit});
}

TEST_F(TAdListPanelTest, PopupItemsFollowTheSelection)
{
    BuildWith({1, 2});
    QList<QAction *> items;
    for (QAction *action : panel->Popup()->actions())
        if (!action->isSeparator())
            items.append(action);
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), u"Select All"_s);
    EXPECT_EQ(items[1]->text(), u"Reset Status to \"Not Sent\""_s);
    EXPECT_EQ(items[2]->text(), u"Export Selected"_s);
    EXPECT_EQ(panel->Popup()->actions().size(), 5);

    panel->UpdatePopup();
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_FALSE(items[1]->isEnabled());
    items[0]->trigger();
    EXPECT_EQ(Commands(), QList<CommandId>{cmSelectAll});
    panel->SelectAll();
    EXPECT_EQ(panel->SelCount(), 2);
    panel->UpdatePopup();
    EXPECT_TRUE(items[2]->isEnabled());
    items[1]->trigger();
    items[2]->trigger();
    EXPECT_EQ(Commands(), (QList<CommandId>{cmSelectAll, cmResetStatus, cmExportSelected}));
}

// --- Editing commands

TEST_F(TAdListPanelTest, ClearAsksFirst)
{
    BuildWith({0, 1, 0});
    boxes.QueueAnswer(false);
    EXPECT_FALSE(panel->ClearList());
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Warning);
    EXPECT_EQ(boxes.Boxes()[0].text,
              u"There are 2 unsent messages in current mailing list.\r\nAre you sure you want to discard them?"_s);
    EXPECT_EQ(panel->ItemCount(), 3);

    EXPECT_TRUE(panel->ClearList());
    EXPECT_FALSE(panel->IsValidItem(0));
    EXPECT_TRUE(ReadBytes(JobListPath()).isEmpty());
}

TEST_F(TAdListPanelTest, DiscardQuestionDependsOnTheCounts)
{
    BuildWith({0, 2});
    boxes.QueueAnswer(true);
    EXPECT_TRUE(panel->ConfirmDiscardList());
    EXPECT_EQ(boxes.Boxes().back().type, MsgDlgType::Confirmation);
    EXPECT_EQ(boxes.Boxes().back().text, u"Are you sure you want to discard current mailing list?"_s);
    boxes.Clear();
    panel->RecordResult(RecipientStatus::Sent, {}, 0);
    EXPECT_TRUE(panel->ConfirmDiscardList());
    EXPECT_TRUE(boxes.Boxes().isEmpty()); // nothing left to send
}

TEST_F(TAdListPanelTest, DeletingTheLastRowsSelectsTheNewLastRow)
{
    BuildWith({0, 1, 2, 0, 0});
    ClickRow(3);
    ClickRow(4, Qt::ControlModifier);
    boxes.QueueAnswer(false);
    EXPECT_FALSE(panel->DeleteSelected());
    EXPECT_EQ(panel->ItemCount(), 5);

    ASSERT_TRUE(panel->DeleteSelected());
    EXPECT_EQ(boxes.Boxes().back().text, u"Are you sure you want to remove the selected item(s) from the list?"_s);
    EXPECT_EQ(Addresses(), u"u0@x.org u1@x.org u2@x.org"_s);
    EXPECT_EQ(panel->CurrentItem(), 2);
    EXPECT_EQ(panel->SelCount(), 1);
    EXPECT_EQ(panel->StatusCount(RecipientStatus::NotSent), 1);
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows.size(), 3u);
}

TEST_F(TAdListPanelTest, DeletingInTheMiddleSelectsTheFollower)
{
    BuildWith({0, 0, 0, 0, 0});
    ClickRow(1);
    ClickRow(2, Qt::ShiftModifier);
    ASSERT_TRUE(panel->DeleteSelected());
    EXPECT_EQ(Addresses(), u"u0@x.org u3@x.org u4@x.org"_s);
    EXPECT_EQ(panel->CurrentItem(), 1);
}

TEST_F(TAdListPanelTest, DeletingEveryRowShowsThePlaceholder)
{
    settings.Param(spListFile).SetStr(u"/data/friends.csv"_s);
    BuildWith({0, 1});
    panel->SelectAll();
    ASSERT_TRUE(panel->DeleteSelected());
    EXPECT_FALSE(panel->IsValidItem(0));
    EXPECT_EQ(panel->Title(), u"Mailing List"_s);
    EXPECT_TRUE(ReadBytes(JobListPath()).isEmpty());
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return !selects->isEmpty() && selects->last().at(1).toInt() == -1; }, HangGuardMs))
        << "the panel had still not reported that no row is selected after " << HangGuardMs / 1000 << " s";
}

TEST_F(TAdListPanelTest, AddAtTheLimitShowsTheLimitBox)
{
    Build();
    QStringList lines;
    for (int i = 0; i < MaxRecipients; ++i)
        lines.append(u"1|u%1@x.org|Sent"_s.arg(i));
    panel->LoadList(lines);
    EXPECT_FALSE(panel->EditOrAddRecipient(true));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Velko Courierline cannot send more than 20000 messages at a time."_s);
}

TEST_F(TAdListPanelTest, AddingToASentListMakesItSendableAgain)
{
    BuildWith({1, 1});
    ASSERT_EQ(panel->StatusCount(RecipientStatus::NotSent), 0);
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TEditRcpDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), u"Add Recipient"_s);
        dialog->Edits[0]->setText(u"  new@x.org "_s);
        dialog->Edits[1]->setText(u"a|b"_s);
        dialog->ButtonBar->Button(bOK)->click();
    });
    ASSERT_TRUE(panel->EditOrAddRecipient(true));
    EXPECT_EQ(panel->StatusCount(RecipientStatus::NotSent), 1);
    EXPECT_EQ(panel->Recipient(2).Address, u"new@x.org"_s);
    EXPECT_EQ(panel->Recipient(2).Params, QStringList{u"a/b"_s});
    EXPECT_EQ(panel->CurrentItem(), 2);
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows.size(), 3u);
}

TEST_F(TAdListPanelTest, AddingAKnownAddressAsks)
{
    BuildWith({0});
    boxes.QueueAnswer(false);
    OnNextModal([this](QWidget *modal) {
        auto *dialog = qobject_cast<TEditRcpDialog *>(modal);
        dialog->Edits[0]->setText(u"U0@X.ORG"_s);
        dialog->ButtonBar->Button(bOK)->click();
        EXPECT_TRUE(dialog->isVisible()); // "No" keeps the dialog open
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes()[0].text,
                  u"E-mail address \"U0@X.ORG\" is already in the list\r\nAdd recipient anyway?"_s);
        dialog->ButtonBar->Button(bCancel)->click();
    });
    EXPECT_FALSE(panel->EditOrAddRecipient(true));
    EXPECT_EQ(panel->ItemCount(), 1);
}

TEST_F(TAdListPanelTest, EditChangesTheSelectedRow)
{
    BuildWith({2, 0});
    EXPECT_FALSE(panel->EditOrAddRecipient(false)); // nothing selected: no dialog
    ClickRow(0);
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TEditRcpDialog *>(modal);
        EXPECT_EQ(dialog->windowTitle(), u"Edit Destination"_s);
        EXPECT_EQ(dialog->Edits[0]->text(), u"u0@x.org"_s);
        EXPECT_EQ(dialog->Edits[1]->text(), u"Name 0"_s);
        dialog->Edits[0]->setText(u" fixed@x.org\t"_s);
        dialog->ButtonBar->Button(bOK)->click();
    });
    ASSERT_TRUE(panel->EditOrAddRecipient(false));
    EXPECT_EQ(panel->Recipient(0).Address, u"fixed@x.org"_s);
    EXPECT_EQ(panel->Recipient(0).Status, RecipientStatus::Failed); // editing keeps the result
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows[0].Address, u"fixed@x.org"_s);
}

TEST_F(TAdListPanelTest, ResetStatusOfTheSelection)
{
    BuildWith({1, 2, 1, 0});
    ClickRow(0);
    ClickRow(1, Qt::ShiftModifier);
    panel->ResetSelectedStatus();
    EXPECT_EQ(panel->StatusCount(RecipientStatus::NotSent), 3);
    EXPECT_EQ(panel->Recipient(1).StatusText, u"Not yet sent"_s);
    EXPECT_EQ(panel->Recipient(2).Status, RecipientStatus::Sent);
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows[1].Status, RecipientStatus::NotSent);
}

TEST_F(TAdListPanelTest, RestoreReloadsAndResets)
{
    BuildWith({1, 2});
    ClickRow(0);
    WriteText(JobListPath(), u"1|a@x.org|Sent on 1\r\n2|b@x.org|Error: x\r\n1|c@x.org|Sent on 2\r\n"_s);
    TRestoreSett options;
    panel->ApplyRestore(options);
    EXPECT_EQ(Addresses(), u"a@x.org b@x.org c@x.org"_s);
    EXPECT_EQ(panel->StatusCount(RecipientStatus::NotSent), 3);
    EXPECT_EQ(panel->SelCount(), 0);
    EXPECT_TRUE(ReadBytes(JobListPath()).startsWith("0|a@x.org|Not yet sent\r\n"));

    options.Option(rpRestoreLst).SetBool(false);
    options.Option(rpClearStatus).SetBool(false);
    panel->RecordResult(RecipientStatus::Sent, {}, 0);
    panel->ApplyRestore(options);
    EXPECT_EQ(panel->StatusCount(RecipientStatus::Sent), 1);
}

TEST_F(TAdListPanelTest, RestoreResetOnAnEmptyListKeepsThePlaceholder)
{
    Build();
    TRestoreSett options;
    options.Option(rpRestoreLst).SetBool(false);
    panel->ApplyRestore(options);
    EXPECT_FALSE(panel->IsValidItem(0));
    EXPECT_EQ(panel->RecipientModel().data(panel->RecipientModel().index(0, 1)).toString(), u"[Required]"_s);
    EXPECT_TRUE(QFile::exists(JobListPath()));
    EXPECT_TRUE(ReadBytes(JobListPath()).isEmpty());
}

// --- Import

TEST_F(TAdListPanelTest, ImportLoadsSavesAndReportsDuplicates)
{
    Build();
    const QString file = data.Path(u"home/list.csv"_s);
    WriteText(file, u"Email;Name\r\nann@x.org; Ann\r\nbob@x.org;Bob\r\nANN@x.org; ann\r\ncy@x.org;Cy\r\n"_s);
    answers.append(file);
    ASSERT_TRUE(panel->ImportList());
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].title, u"Import Mailing List"_s);
    EXPECT_EQ(requests[0].folder, SpecialFolder(0));
    EXPECT_EQ(Addresses(), u"ann@x.org bob@x.org cy@x.org"_s);
    EXPECT_EQ(panel->Recipient(0).Params, QStringList{u"Ann"_s});
    EXPECT_EQ(boxes.Boxes().back().text, u"One duplicate item was removed during import."_s);
    EXPECT_EQ(settings.Param(spListFile).GetStr(), file);
    EXPECT_EQ(settings.Param(spListPath).GetStr(), data.Path(u"home/"_s));
    EXPECT_EQ(panel->Title(), u"Mailing List - list.csv"_s);
    EXPECT_EQ(ParseJobList(ReadJobListLines(JobListPath())).Rows.size(), 3u);
    const IniFile ini(TESettings::ConfigFileName());
    EXPECT_EQ(ini.ReadString(u"Settings"_s, u"ListFile"_s, {}), file);

    // The next import starts in the list's folder.
    answers.clear();
    boxes.QueueAnswer(true);
    EXPECT_FALSE(panel->ImportList());
    EXPECT_EQ(requests.back().folder, data.Path(u"home/"_s));
}

TEST_F(TAdListPanelTest, CancelledImportChangesNothing)
{
    BuildWith({0});
    boxes.QueueAnswer(false);
    EXPECT_FALSE(panel->ImportList());
    EXPECT_TRUE(requests.isEmpty());
    boxes.QueueAnswer(true);
    EXPECT_FALSE(panel->ImportList());
    EXPECT_EQ(requests.size(), 1);
    EXPECT_EQ(panel->ItemCount(), 1);
}

TEST_F(TAdListPanelTest, ImportWithoutAddressesChangesNothing)
{
    BuildWith({0, 1});
    const QByteArray before = ReadBytes(JobListPath());
    const QString file = data.Path(u"home/empty.txt"_s);
    WriteText(file, u"no addresses\r\nat all\r\n"_s);
    answers.append(file);
    boxes.QueueAnswer(true);
    EXPECT_FALSE(panel->ImportList());
    EXPECT_EQ(boxes.Boxes().back().type, MsgDlgType::Error);
    EXPECT_EQ(boxes.Boxes().back().text, NoAddressesMessage());
    EXPECT_EQ(panel->ItemCount(), 2);
    EXPECT_EQ(ReadBytes(JobListPath()), before);
    EXPECT_TRUE(settings.Param(spListFile).GetStr().isEmpty());
}

TEST_F(TAdListPanelTest, SuspiciousFileOffersExtraction)
{
    Build();
    const QString file = data.Path(u"home/mail.txt"_s);
    WriteText(file, u"Hello,\r\nplease write to ann@x.org, bob@y.org, cy@z.org and dan@x.org.\r\nThanks\r\nAnn\r\n"_s);
    answers.append(file);
    boxes.QueueAnswer(true); // extract
    ASSERT_TRUE(panel->ImportList());
    EXPECT_TRUE(boxes.Boxes()[0].text.startsWith(u"Format of the file being imported may not be valid."_s));
    EXPECT_EQ(Addresses(), u"ann@x.org bob@y.org cy@z.org dan@x.org"_s);
    EXPECT_EQ(CurrentProgress(), nullptr);
}

TEST_F(TAdListPanelTest, ExtractionFindingNothingChangesNothing)
{
    BuildWith({0});
    const QByteArray before = ReadBytes(JobListPath());
    const QString file = data.Path(u"home/odd.txt"_s);
    WriteText(file, u"a@b @c @d @e\r\n"_s);
    answers.append(file);
    boxes.QueueAnswer(true); // discard the list
    boxes.QueueAnswer(true); // extract
    EXPECT_FALSE(panel->ImportList());
    EXPECT_EQ(boxes.Boxes().back().type, MsgDlgType::Error);
    EXPECT_EQ(Addresses(), u"u0@x.org"_s);
    EXPECT_EQ(ReadBytes(JobListPath()), before);
    EXPECT_FALSE(QFile::exists(TESettings::ConfigFileName()));
}

TEST_F(TAdListPanelTest, LongImportIsTruncated)
{
    Build();
    QString text;
    for (int i = 0; i < 25000; ++i)
        text += u"u%1@x.org\n"_s.arg(i);
    const QString file = data.Path(u"home/big.txt"_s);
    WriteText(file, text);
    answers.append(file);
    ASSERT_TRUE(panel->ImportList());
    EXPECT_EQ(boxes.Boxes().back().text, u"Velko Courierline can only import up to 20000 e-mail addresses at a "
                                         u"time.\r\nInput file contains 25000 lines.\r\nList was truncated."_s);
    EXPECT_EQ(panel->ItemCount(), MaxRecipients);
    EXPECT_EQ(CurrentProgress(), nullptr);
}

// --- Export

TEST_F(TAdListPanelTest, ExportWritesAndRemembersTheFile)
{
    BuildWith({1, 0, 2});
    const QString file = data.Path(u"home/out.csv"_s);
    answers.append(file);
    ASSERT_TRUE(panel->ExportList(false, false));
    EXPECT_EQ(requests[0].title, u"Export File"_s);
    EXPECT_EQ(requests[0].defaultExt, u"csv"_s);
    EXPECT_TRUE(requests[0].overwritePrompt);
    EXPECT_TRUE(requests[0].fileName.isEmpty());
    EXPECT_EQ(ReadBytes(file), "u0@x.org,Name 0\r\nu1@x.org,Name 1\r\nu2@x.org,Name 2\r\n");
    EXPECT_EQ(settings.Param(spExportFile).GetStr(), file);

    ASSERT_FALSE(panel->ExportList(false, false)); // cancelled
    EXPECT_EQ(requests[1].fileName, file);
    EXPECT_EQ(requests[1].folder, data.Path(u"home/"_s));
    ASSERT_FALSE(panel->ExportList(true, false));
    EXPECT_TRUE(requests[2].fileName.isEmpty()); // the log proposes no name
    EXPECT_EQ(requests[2].folder, data.Path(u"home/"_s));

    settings.Param(spExportFile).SetStr(data.Path(u"gone/out.csv"_s));
    ASSERT_FALSE(panel->ExportList(false, false));
    EXPECT_TRUE(requests[3].fileName.isEmpty());
    EXPECT_EQ(requests[3].folder, SpecialFolder(0));
}

TEST_F(TAdListPanelTest, ExportSelectedAndLog)
{
    BuildWith({1, 0, 2, 0});
    ClickRow(1);
    ClickRow(3, Qt::ControlModifier);
    const QString file = data.Path(u"home/sel.csv"_s);
    answers.append(file);
    ASSERT_TRUE(panel->ExportList(false, true));
    EXPECT_EQ(ReadBytes(file), "u1@x.org,Name 1\r\nu3@x.org,Name 3\r\n");
    answers.append(file);
    ASSERT_TRUE(panel->ExportList(true, false));
    EXPECT_TRUE(ReadBytes(file).startsWith("u0@x.org,Name 0,Sent on 1.2.2024\r\n"));
}

TEST_F(TAdListPanelTest, FailedExportKeepsTheSetting)
{
    BuildWith({0});
    answers.append(data.Path(u"home"_s)); // a folder cannot be written as a file
    EXPECT_THROW(panel->ExportList(false, false), AppError);
    EXPECT_TRUE(settings.Param(spExportFile).GetStr().isEmpty());
}

// --- Jobs

TEST_F(TAdListPanelTest, JobModeLocksTheList)
{
    BuildWith({0, 0, 1, 0});
    panel->SetJobMode(JobMode::SendAll);
    for (const CommandId id : {cmImport, cmExport, cmClear, cmAdd, cmEdit, cmDelete})
        EXPECT_FALSE(LinkEnabled(id)) << int(id);
    EXPECT_TRUE(List()->testAttribute(Qt::WA_TransparentForMouseEvents));

    settings.Param(spMethodBcc).SetBool(true);
    settings.Param(spMethodCount).SetInt(2);
    panel->BeginRecipients(JobMode::SendAll);
    ASSERT_EQ(selects->count(), 1); // one event per group
    EXPECT_EQ(selects->at(0).at(1).toInt(), 1);
    TEmailMessage message;
    message.Bcc.append({u"stale@x.org"_s, {}});
    panel->FillBccRecipients(message);
    ASSERT_EQ(message.Bcc.size(), 2);
    EXPECT_EQ(message.Bcc[0].Address, u"u0@x.org"_s);
    panel->RecordResult(RecipientStatus::Failed, u"452 too many\r\n"_s);
    EXPECT_EQ(panel->StatusCount(RecipientStatus::Failed), 2);
    EXPECT_EQ(panel->FindNextRecipient(JobMode::SendAll, true), 3);
    ASSERT_TRUE(panel->AdvanceRecipients(JobMode::SendAll));
    EXPECT_EQ(selects->count(), 2);
    EXPECT_EQ(panel->BccGroup(), std::vector<int>{3});
    panel->RecordResult(RecipientStatus::Sent, {});
    EXPECT_FALSE(panel->AdvanceRecipients(JobMode::SendAll));

    panel->SetJobMode(JobMode::Idle);
    EXPECT_TRUE(LinkEnabled(cmImport));
    EXPECT_FALSE(List()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(panel->CurrentItem(), 3); // the last recipient stays selected
}

// The journal written during a job and taken back at the next start is
// pinned end to end by the crash test; here the journals that do not fit.
TEST_F(TAdListPanelTest, AJournalThatFitsNoRowIsDroppedAndAnUnreadableListKeepsIt)
{
    BuildWith({0, 0});
    EXPECT_FALSE(panel->RecoverJournal());

    // A journal of another list goes, and the list stays as it is.
    const TJournalEntry stranger{0, RecipientStatus::Sent, u"someone@else.org"_s, u"Sent on 1.3.2024"_s};
    AppendJournal(JobListJournalPath(), {stranger});
    const QByteArray list = ReadBytes(JobListPath());
    EXPECT_TRUE(panel->RecoverJournal());
    EXPECT_EQ(ReadBytes(JobListPath()), list);
    EXPECT_FALSE(QFile::exists(JobListJournalPath()));

    // A list that cannot be read is not written over, and the journal waits.
    ASSERT_TRUE(QFile::remove(JobListPath()));
    panel->LoadJobList(false);
    AppendJournal(JobListJournalPath(), {stranger});
    EXPECT_TRUE(panel->RecoverJournal());
    EXPECT_FALSE(QFile::exists(JobListPath()));
    EXPECT_TRUE(QFile::exists(JobListJournalPath()));
}
