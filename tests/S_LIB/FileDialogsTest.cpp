#include "FileDialogs.h"
#include "MessageBoxRecorder.h"
#include "StartupEnv.h"
#include "TempDataFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString AllFiles = u"All Files (*.*)|*.*"_s;

class FileDialogsTest : public testing::Test {
protected:
    void TearDown() override { SetFileDialogHook(nullptr); }

    // A folder below the temporary root holding the given (empty) files.
    QString MakeFolder(const QString &name, const QStringList &files = {})
    {
        const QString path = data.Path(name) + u'/';
        QDir().mkpath(path);
        for (const QString &f : files)
            QFile(path + f).open(QIODevice::WriteOnly);
        return path;
    }

    // Answers the dialogs from the queue (then Cancel) and records what they were asked.
    void Answer(QList<QStringList> answers)
    {
        SetFileDialogHook([this, answers](FileDialogRequest &request) mutable {
            requests.append(request);
            return answers.isEmpty() ? QStringList() : answers.takeFirst();
        });
    }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    QList<FileDialogRequest> requests;
    QString fileName;
    QStringList files;
    QString result;
};

// Hands the next modal file dialog to act(), which must close it.
void WithNextFileDialog(std::function<void(QFileDialog *)> act)
{
    QTimer::singleShot(0, qApp, [act]() mutable {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            act(dialog);
        else
            WithNextFileDialog(std::move(act));
    });
}

} // namespace

TEST_F(FileDialogsTest, FiltersBecomeDialogNameFilters)
{
    EXPECT_EQ(DialogNameFilters(AllFiles), QStringList{u"All Files (*)"_s});
    EXPECT_EQ(DialogNameFilters(u"Lists (*.csv;*.txt)|*.csv;*.txt|Backup (zip)|*.zip|dangling"_s),
              QStringList({u"Lists (*.csv *.txt)"_s, u"Backup (zip) (*.zip)"_s}));
    // A description may list its patterns with commas, blanks or in another order: still shown once.
    EXPECT_EQ(DialogNameFilters(u"Text Files (*.csv, *.txt)|*.csv;*.txt|Any (*.TXT *.*)|*.*;*.txt"_s),
              QStringList({u"Text Files (*.csv *.txt)"_s, u"Any (* *.txt)"_s}));
    EXPECT_EQ(DialogNameFilters(u"Text (*.csv, *.doc)|*.csv;*.txt"_s),
              QStringList{u"Text (*.csv, *.doc) (*.csv *.txt)"_s});
}

TEST_F(FileDialogsTest, SeveralFilesFillTheListAndTheNextOpenStartsThere)
{
    const QString folder = MakeFolder(u"attach"_s, {u"one.pdf"_s, u"two.pdf"_s});
    Answer({{folder + u"one.pdf"_s, folder + u"two.pdf"_s}});
    OpenFileDlg(u"Add Attachments"_s, AllFiles, QString(), fileName, &files);
    EXPECT_EQ(files, QStringList({folder + u"one.pdf"_s, folder + u"two.pdf"_s}));
    EXPECT_EQ(fileName, files.value(0));
    OpenFileDlg(u"Add Attachments"_s, AllFiles, QString(), fileName, &files); // cancelled
    EXPECT_TRUE(fileName.isEmpty() && files.isEmpty());

    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].folder, SpecialFolder(0));
    EXPECT_TRUE(requests[0].multiSelect);
    EXPECT_EQ(requests[1].folder, folder);
}

TEST_F(FileDialogsTest, GivenFolderWinsAndAMissingFileIsRefused)
{
    const QString used = MakeFolder(u"used"_s, {u"a.zip"_s});
    const QString given = MakeFolder(u"given"_s);
    Answer({{used + u"a.zip"_s}, {used + u"gone.zip"_s}});
    OpenFileDlg(QString(), AllFiles, QString(), fileName);
    OpenFileDlg(QString(), AllFiles, given, fileName, &files);
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1].folder, given);
    EXPECT_TRUE(fileName.isEmpty());
    EXPECT_EQ(files, QStringList{used + u"gone.zip"_s});
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Information);
    EXPECT_EQ(boxes.Boxes()[0].text, u"File \"%1\" was not found!"_s.arg(used + u"gone.zip"_s));
}

TEST_F(FileDialogsTest, SaveKeepsUnicodeNamesAndItsOwnFolder)
{
    const QString folder = MakeFolder(u"Sicherung"_s);
    Answer({{folder + u"Überweisung €.zip"_s}});
    SaveFileDlg(u"Backup Workspace"_s, AllFiles, QString(), QString(), QString(), true, result);
    EXPECT_EQ(result, folder + u"Überweisung €.zip"_s);
    SaveFileDlg(u"Backup Workspace"_s, AllFiles, QString(), QString(), QString(), true, result); // cancelled
    EXPECT_TRUE(result.isEmpty());
    SaveFileDlg(QString(), AllFiles, QString(), QString(), QString(), true, result);
    OpenFileDlg(QString(), AllFiles, QString(), fileName);
    InitStartup(); // a new start forgets the folder
    SaveFileDlg(QString(), AllFiles, QString(), QString(), QString(), true, result);

    ASSERT_EQ(requests.size(), 5);
    EXPECT_EQ(requests[0].folder, SpecialFolder(0));
    EXPECT_EQ(requests[2].folder, folder);
    EXPECT_EQ(requests[3].folder, SpecialFolder(0));
    EXPECT_EQ(requests[4].folder, SpecialFolder(0));
}

TEST_F(FileDialogsTest, RealDialogsStartInTheFolderWithTheFilters)
{
    const QString folder = MakeFolder(u"real"_s, {u"list.csv"_s});
    const QString filter = u"Lists (*.csv)|*.csv|All Files (*.*)|*.*"_s;
    WithNextFileDialog([&](QFileDialog *dialog) {
        EXPECT_EQ(dialog->windowTitle(), u"Pick"_s);
        EXPECT_EQ(dialog->directory().absolutePath() + u'/', folder);
        EXPECT_EQ(dialog->nameFilters(), DialogNameFilters(filter));
        EXPECT_EQ(dialog->selectedNameFilter(), DialogNameFilters(filter).value(1));
        dialog->selectNameFilter(dialog->nameFilters().value(0));
        dialog->selectFile(folder + u"list.csv"_s);
        static_cast<QDialog *>(dialog)->accept();
    });
    int filterIndex = 2;
    OpenFileDlgEx(u"Pick"_s, filter, folder, fileName, nullptr, filterIndex);
    EXPECT_EQ(fileName, folder + u"list.csv"_s);
    EXPECT_EQ(filterIndex, 1);

    WithNextFileDialog([&](QFileDialog *dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->selectFile(folder + u"backup"_s);
        static_cast<QDialog *>(dialog)->accept();
    });
    SaveFileDlg(QString(), AllFiles, folder, QString(), u"zip"_s, true, result);
    EXPECT_EQ(result, folder + u"backup.zip"_s);
}
