// Every kind of save on a full disk: it fails with its message, and the file it
// would have replaced keeps its old bytes. Each case runs twice: on a disk the
// write hook pretends is full after a few bytes, and, when the tests run as
// root, on a real 64 KiB tmpfs filled to the last page.

#include "AppError.h"
#include "AtomicFile.h"
#include "FileDialogs.h"
#include "FirstRun.h"
#include "JobListFile.h"
#include "MessageBoxRecorder.h"
#include "PnAdList.h"
#include "StartupEnv.h"
#include "TESettings.h"
#include "TRestoreSett.h"
#include "TempDataFolder.h"
#include "Workspace.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

enum class Disk { Simulated, Tmpfs };

QByteArray ReadBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

/** The message of the AppError the save throws; empty when it throws none. */
QString ErrorOf(const std::function<void()> &save)
{
    try {
        save();
    } catch (const AppError &e) {
        return e.Message();
    }
    return {};
}

/** Sets or clears a file's append-only flag (root only): such a file cannot be renamed, replaced or linked. */
bool SetAppendOnly(const QString &name, bool on)
{
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

std::vector<TRecipient> Rows(int count)
{
    std::vector<TRecipient> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(
            {RecipientStatus::Sent, u"reader%1@example.org"_s.arg(i), {u"Reader %1"_s.arg(i)}, u"Sent on 1.2.2024"_s});
    return rows;
}

/** A small tmpfs mounted over a folder for the life of the object. */
class TmpfsMount {
public:
    explicit TmpfsMount(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool Mounted() const { return m_mounted; }

    /** Fills the file system until not one more byte fits, then frees room bytes again. */
    void Fill(qint64 room) const
    {
        const int fd = ::open((m_folder + "/filler").constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray chunk(4096, 'f');
        for (qsizetype size = chunk.size(); size > 0; size /= 2) {
            while (::write(fd, chunk.constData(), size_t(size)) == size) {
            }
        }
        const int error = errno;
        const bool freed = ::ftruncate(fd, ::lseek(fd, 0, SEEK_END) - room) == 0;
        ::close(fd);
        ASSERT_EQ(error, ENOSPC);
        ASSERT_TRUE(freed);
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

class FullDiskTest : public testing::TestWithParam<Disk> {
protected:
    void SetUp() override
    {
        if (GetParam() == Disk::Simulated)
            return;
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a tmpfs needs root";
        m_tmpfs = std::make_unique<TmpfsMount>(ProgramDirNoBackslash());
        if (!m_tmpfs->Mounted())
            GTEST_SKIP() << "cannot mount a tmpfs here: " << strerror(errno);
    }
    void TearDown() override
    {
        SetDiskSpaceForTests(-1);
        FailFolderSyncsForTests(0);
        LimitFileSystemForTests(0, false);
    }

    void FillDisk(qint64 room = 0) const
    {
        if (m_tmpfs)
            m_tmpfs->Fill(room);
        else
            SetDiskSpaceForTests(room > 0 ? room : 16);
    }

    static QString InData(const QString &name) { return ProgramDir() + name; }

    /** A backup of older settings and message, outside the data folder, and current ones in it. */
    QString OlderBackupAndCurrentFiles()
    {
        WriteBytes(m_data.Path(u"bry_cnfg.ini"_s), "[Settings]\r\nSMTP_Server=smtp.older.example\r\n");
        WriteBytes(m_data.Path(u"bry_msg.bxq"_s), "Older message\r\n");
        const QString archive = m_data.Path(u"older.bxk"_s);
        WriteWorkspaceArchive(archive, m_data.Root());
        WriteBytes(InData(u"bry_cnfg.ini"_s), "[Settings]\r\nSMTP_Server=smtp.current.example\r\n");
        WriteBytes(InData(u"bry_msg.bxq"_s), "Current message\r\n");
        return archive;
    }

    static QStringList RestoredFiles() { return {u"bry_cnfg.ini"_s, u"bry_msg.bxq"_s}; }

    /** Puts the data folder back to the files given, and no other. */
    static void PutBack(const QMap<QString, QByteArray> &files)
    {
        for (const QString &name : Files().keys())
            QFile::remove(InData(name));
        for (auto file = files.cbegin(); file != files.cend(); ++file)
            WriteBytes(InData(file.key()), file.value());
    }

    /** Restores the settings and the message: the error it reports, if any. */
    static std::string Restore(const QString &archive)
    {
        return ErrorOf([&] {
                   RestoreWorkspaceFiles(ReadWorkspaceArchive(archive, RestoredFiles()), ProgramDirNoBackslash(),
                                         RestoredFiles());
               })
            .toStdString();
    }

    /** Every name in the data folder with its bytes. */
    static QMap<QString, QByteArray> Files()
    {
        QMap<QString, QByteArray> files;
        for (const QString &file : QDir(ProgramDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            files.insert(file, ReadBytes(InData(file)));
        return files;
    }
    static std::string Contents(const QMap<QString, QByteArray> &files = Files())
    {
        std::string all;
        for (auto file = files.cbegin(); file != files.cend(); ++file)
            all += file.key().toStdString() + ": " + file.value().toStdString() + '\n';
        return all;
    }

    /**
     * The data folder as a restore's error says it left the files before: no
     * error, every restored file holds the backup's content; "Nothing was
     * restored.", all are as they were; and a file that could not go back is
     * as its line says, its previous content under the full path given.
     */
    QMap<QString, QByteArray> AsTheErrorSays(const std::string &error, QMap<QString, QByteArray> files) const
    {
        static const QRegularExpression changed(QRegularExpression::anchoredPattern(
            uR"((\S+) (now holds the backup's content|is gone); (it did not exist before|its previous content was kept as (.+))\.)"_s));
        QStringList lines = QString::fromStdString(error).split(u"\r\n"_s);
        if (error.empty()) {
            for (const QString &name : RestoredFiles())
                files.insert(name, ReadBytes(m_data.Path(name)));
            return files;
        }
        EXPECT_TRUE(RestoredFiles().contains(lines.takeFirst().remove(u"Unable to write to "_s + ProgramDir())))
            << error;
        const QString last = lines.takeLast();
        EXPECT_EQ(last, lines.isEmpty() ? u"Nothing was restored."_s : u"Nothing else was restored."_s) << error;
        for (const QString &line : lines) {
            const QRegularExpressionMatch match = changed.match(line);
            EXPECT_TRUE(match.hasMatch()) << line.toStdString();
            const QString name = match.captured(1);
            const QString kept = match.captured(4);
            EXPECT_EQ(files.contains(name), !kept.isEmpty()) << line.toStdString(); // a free name has nothing to keep
            const QByteArray previous = files.take(name);
            if (match.captured(2) != u"is gone"_s)
                files.insert(name, ReadBytes(m_data.Path(name)));
            if (!kept.isEmpty())
                files.insert(kept.mid(ProgramDir().size()), previous);
        }
        return files;
    }

    struct FileSystem {
        const char *Name;
        int RenameFlagsError;
        bool NoHardLinks;
        int PlainRenames;    // made there to restore a file over one and another to a free name
        int GiveBackRenames; // made there to exchange a file, fail on the next and exchange the first back
    };
    /** What files that take their places together may meet. */
    static QList<FileSystem> FileSystems()
    {
        return {{"renameat2 with its flags", 0, false, 0, 0},
                {"hard links only (NFS)", EINVAL, false, 2, 5},
                {"neither (vfat, exFAT, SMB)", EINVAL, true, 4, 7},
                {"neither, renameat2 filtered (a sandbox)", ENOSYS, true, 4, 7}};
    }

    TempDataFolder m_data;
    MessageBoxRecorder m_boxes;
    std::unique_ptr<TmpfsMount> m_tmpfs; // after m_data: unmounted before its folder goes
};

} // namespace

TEST_P(FullDiskTest, ConfigurationWithThePassword)
{
    TESettings settings;
    settings.Param(spPassword).SetStr(u"old secret"_s);
    settings.Param(spSmtpServer).SetStr(u"smtp.example.org"_s);
    settings.ReadWriteConfig(true, SettingsGroupSet::All());
    const QByteArray old = ReadBytes(TESettings::ConfigFileName());
    ASSERT_TRUE(old.contains("smtp.example.org"));

    FillDisk();
    settings.Param(spPassword).SetStr(u"new secret"_s);
    EXPECT_EQ(ErrorOf([&] { settings.ReadWriteConfig(true, SettingsGroupSet::All()); }),
              u"Unable to write to "_s + TESettings::ConfigFileName());
    EXPECT_EQ(ReadBytes(TESettings::ConfigFileName()), old);
}

TEST_P(FullDiskTest, JobListsOfEverySize)
{
    const QString file = InData(u"bry_jlst.bxq"_s);
    WriteJobList(file, Rows(3));
    const QByteArray old = ReadBytes(file);

    FillDisk();
    for (const int count : {6, 100, 300}) {
        EXPECT_EQ(ErrorOf([&] { WriteJobList(file, Rows(count)); }), u"Unable to write to "_s + file) << count;
        EXPECT_EQ(ReadBytes(file), old) << count;
    }
}

TEST_P(FullDiskTest, MessageCopyAndTheUsersMessageFile)
{
    const QString source = InData(u"newsletter.htm"_s);
    WriteBytes(source, "<html><body>Dear %1,</body></html>\r\n");
    TESettings settings;
    settings.Param(spMessageFile).SetStr(source);
    settings.ReloadMessage();
    const QByteArray oldCopy = ReadBytes(TESettings::MessageCopyFileName());
    ASSERT_TRUE(oldCopy.contains("Dear %1"));

    FillDisk();
    settings.MessageText = QStringList{u"<html><body>Hello %1, a longer text now.</body></html>"_s};
    settings.SaveMessage(true);
    ASSERT_EQ(m_boxes.Boxes().size(), 2);
    EXPECT_EQ(m_boxes.Boxes()[0].text, u"Unable to write to "_s + TESettings::MessageCopyFileName());
    EXPECT_EQ(m_boxes.Boxes()[1].text,
              u"Error saving file \"%1\".\r\nIt may be opened by another application."_s.arg(source));
    EXPECT_EQ(ReadBytes(TESettings::MessageCopyFileName()), oldCopy);
    EXPECT_EQ(ReadBytes(source), "<html><body>Dear %1,</body></html>\r\n");
}

TEST_P(FullDiskTest, ExportOverAnEarlierExport)
{
    WriteJobList(InData(u"bry_jlst.bxq"_s), Rows(50));
    const QString file = InData(u"export.csv"_s);
    WriteBytes(file, "earlier@example.org,Earlier\r\n");
    SetFileDialogHook([&](FileDialogRequest &) { return QStringList{file}; });
    QWidget window;
    TESettings settings;
    TAdListPanel panel(&window);
    panel.SetSettings(&settings);
    panel.Build({cmExport}, 0xF8D8B8, 0x584820, 0xD0F7FF, 0x80A8AB);

    FillDisk();
    EXPECT_EQ(ErrorOf([&] { panel.ExportList(false, false); }), u"Unable to write to "_s + file);
    EXPECT_EQ(ReadBytes(file), "earlier@example.org,Earlier\r\n");
    EXPECT_TRUE(settings.Param(spExportFile).GetStr().isEmpty());
    SetFileDialogHook(nullptr);
}

TEST_P(FullDiskTest, RestoreOptions)
{
    TRestoreSett options;
    options.Option(rpClearStatus).SetBool(false);
    options.LoadSaveRestoreOptions(true);
    const QByteArray old = ReadBytes(TRestoreSett::FileName());

    FillDisk();
    options.Option(rpClearStatus).SetBool(true);
    options.Option(rpRestoreMsg).SetBool(false);
    EXPECT_EQ(ErrorOf([&] { options.LoadSaveRestoreOptions(true); }),
              u"Unable to write to "_s + TRestoreSett::FileName());
    EXPECT_EQ(ReadBytes(TRestoreSett::FileName()), old);
}

// Room for the configuration and the message, not for the list: the restore
// puts none of them in place, and leaves no temporary file. Nor does one that
// meets a folder in a file's place; and one whose folder cannot be synced once
// all are in place names the files that now hold the backup's content. On a
// file system that cannot exchange files, or has no hard links either, a
// restore goes through all the same; and whichever of the renames it makes
// there fails, the ones before it are undone.
TEST_P(FullDiskTest, RestoreThatDoesNotFitChangesNothing)
{
    // The backup is made of files outside the data folder: the list would not fit in it.
    WriteJobList(m_data.Path(u"bry_jlst.bxq"_s), Rows(2000));
    const QString archive = OlderBackupAndCurrentFiles();
    WriteJobList(InData(u"bry_jlst.bxq"_s), Rows(3));

    FillDisk(8192);
    const std::string before = Contents();
    EXPECT_EQ(ErrorOf([&] {
                  RestoreWorkspaceFiles(ReadWorkspaceArchive(archive, WorkspaceFileNames()), ProgramDirNoBackslash(),
                                        WorkspaceFileNames());
              }).toStdString(),
              u"Unable to write to %1\r\nNothing was restored."_s.arg(InData(u"bry_jlst.bxq"_s)).toStdString());
    EXPECT_EQ(Contents(), before);

    const QString message = InData(u"bry_msg.bxq"_s);
    ASSERT_TRUE(QFile::remove(message) && QDir().mkdir(message));
    FillDisk(8192);
    const std::string withFolder = Contents();
    const QString names = QDir(ProgramDir()).entryList().join(u' ');
    EXPECT_EQ(Restore(archive), u"Unable to write to %1\r\nNothing was restored."_s.arg(message).toStdString());
    EXPECT_EQ(Contents(), withFolder);

    ASSERT_TRUE(QDir().rmdir(message));
    FailFolderSyncsForTests(1);
    EXPECT_EQ(Restore(archive), u"Unable to write to %1\r\nThese files now hold the backup's content: bry_cnfg.ini, "
                                u"bry_msg.bxq."_s.arg(ProgramDirNoBackslash())
                                    .toStdString());
    for (const QString &name : RestoredFiles())
        EXPECT_EQ(ReadBytes(InData(name)), ReadBytes(m_data.Path(name))) << name.toStdString();
    EXPECT_EQ(QDir(ProgramDir()).entryList().join(u' ').toStdString(), names.toStdString());

    for (const FileSystem &fs : FileSystems()) {
        SCOPED_TRACE(fs.Name);
        WriteBytes(InData(u"bry_msg.bxq"_s), "Current message\r\n");
        ASSERT_TRUE(QFile::remove(InData(u"bry_cnfg.ini"_s))); // a name that was free, and one that held a file
        const std::string current = Contents();
        const QMap<QString, QByteArray> currentFiles = Files();
        bool leftInPlace = false; // the first file, which took a free name, could not go back
        for (int failing = 1; failing <= fs.PlainRenames; ++failing) {
            SCOPED_TRACE("rename " + std::to_string(failing) + " fails");
            LimitFileSystemForTests(fs.RenameFlagsError, fs.NoHardLinks, failing);
            EXPECT_THAT(Restore(archive), testing::EndsWith("\r\nNothing was restored."));
            EXPECT_EQ(Contents(), current);
            // A later one too, up to the last that going back makes.
            for (int second = failing + 1; second <= fs.PlainRenames + 3; ++second) {
                SCOPED_TRACE("and rename " + std::to_string(second));
                LimitFileSystemForTests(fs.RenameFlagsError, fs.NoHardLinks, failing, second);
                const std::string error = Restore(archive);
                EXPECT_EQ(Contents(), Contents(AsTheErrorSays(error, currentFiles))) << error;
                leftInPlace = leftInPlace || error.find("it did not exist before") != std::string::npos;
                PutBack(currentFiles);
            }
        }
        EXPECT_EQ(leftInPlace, fs.NoHardLinks); // a hard link moves it back without a rename
        LimitFileSystemForTests(fs.RenameFlagsError, fs.NoHardLinks);
        EXPECT_EQ(Restore(archive), "");
        for (const QString &name : RestoredFiles())
            EXPECT_EQ(ReadBytes(InData(name)), ReadBytes(m_data.Path(name))) << name.toStdString();
        EXPECT_EQ(QDir(ProgramDir()).entryList().join(u' ').toStdString(), names.toStdString());
    }
}

// The message refuses to be replaced once the configuration has taken its
// place (an append-only file, root only): the configuration goes back, on
// every kind of file system, whether it replaced a file or took a free name.
// Whichever rename fails there, the current configuration is never lost: one
// that cannot go back keeps the name it waited under.
TEST_P(FullDiskTest, RestoreWhoseLaterFileCannotTakeItsPlaceChangesNothing)
{
    const QString archive = OlderBackupAndCurrentFiles();
    const QByteArray settings = ReadBytes(InData(u"bry_cnfg.ini"_s));
    const QString message = InData(u"bry_msg.bxq"_s);
    if (!SetAppendOnly(message, true)) {
        GTEST_SKIP() << "no file here can be made append-only (root and a file system with the flag are needed): "
                     << strerror(errno);
    }
    for (const FileSystem &fs : FileSystems()) {
        SCOPED_TRACE(fs.Name);
        LimitFileSystemForTests(fs.RenameFlagsError, fs.NoHardLinks);
        for (const bool configurationInPlace : {true, false}) {
            if (!configurationInPlace) {
                ASSERT_TRUE(QFile::remove(InData(u"bry_cnfg.ini"_s)));
            }
            FillDisk(8192);
            const std::string before = Contents();
            EXPECT_EQ(Restore(archive), u"Unable to write to %1\r\nNothing was restored."_s.arg(message).toStdString());
            EXPECT_EQ(Contents(), before) << configurationInPlace;
        }
        WriteBytes(InData(u"bry_cnfg.ini"_s), settings);
        bool stoppedHalfWay = false; // an exchange whose undo failed too left a file's place empty
        for (int failing = 1; failing <= fs.GiveBackRenames; ++failing) {
            // The second failing rename is the first one again (it alone fails), or any later one up to the
            // last that undoing a failed step of the exchange back makes.
            for (int second = failing; second <= fs.GiveBackRenames + 2; ++second) {
                SCOPED_TRACE("renames " + std::to_string(failing) + " and " + std::to_string(second) + " fail");
                LimitFileSystemForTests(fs.RenameFlagsError, fs.NoHardLinks, failing, second);
                FillDisk(8192);
                const QMap<QString, QByteArray> before = Files();
                const std::string error = Restore(archive);
                EXPECT_EQ(Contents(), Contents(AsTheErrorSays(error, before))) << error;
                stoppedHalfWay = stoppedHalfWay || error.find(" is gone; ") != std::string::npos;
                const QStringList kept = QDir(ProgramDir()).entryList({u"bry_cnfg.ini.*"_s});
                ASSERT_LE(kept.size(), 1);
                EXPECT_EQ(ReadBytes(InData(kept.value(0, u"bry_cnfg.ini"_s))).toStdString(), settings.toStdString());
                for (const QString &name : kept)
                    ASSERT_TRUE(QFile::remove(InData(name)));
                WriteBytes(InData(u"bry_cnfg.ini"_s), settings);
            }
        }
        EXPECT_EQ(stoppedHalfWay, fs.NoHardLinks); // only plain renames leave a place empty between two
    }
    ASSERT_TRUE(SetAppendOnly(message, false));
}

// The take-over of an earlier copy's files: a copy that did not happen is not
// reported as done, and the first-run mark stays for the next start to try again.
TEST_P(FullDiskTest, FirstRunTakeOver)
{
    QTemporaryDir older;
    WriteBytes(older.filePath(u"bry_cnfg.ini"_s), "[Settings]\r\nSMTP_Server=mail.example.com\r\n");
    ASSERT_TRUE(InstallDataFolder(ProgramDirNoBackslash()));

    FillDisk();
    EXPECT_FALSE(TakeOverOlderInstallation(ProgramDirNoBackslash(), older.path()));
    EXPECT_EQ(ReadBytes(TESettings::ConfigFileName()), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Disks, FullDiskTest, testing::Values(Disk::Simulated, Disk::Tmpfs),
                         [](const testing::TestParamInfo<Disk> &info) {
                             return info.param == Disk::Simulated ? "Simulated" : "Tmpfs";
                         });
