// Workspace archives against real files: backups, restores, and archives made
// to attack the restore, built here with Python's zipfile.
#include "Workspace.h"

#include "AppError.h"
#include "AtomicFile.h"
#include "HangGuard.h"
#include "StartupEnv.h"
#include "TempDataFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <zip.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// argv: archive path, kind, a folder outside the data folder.
const QString HostileArchives = uR"(
import sys, zipfile, struct
path, kind, outside = sys.argv[1], sys.argv[2], sys.argv[3]
evil = b'[Settings]\r\nSMTP_Server=evil.example\r\n'

def make(entries):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in entries:
            z.writestr(name, data)

def data_start(raw, info):
    nlen, elen = struct.unpack_from('<HH', raw, info.header_offset + 26)
    return info.header_offset + 30 + nlen + elen

if kind == 'dotdot':
    make([('../bry_cnfg.ini', evil), ('../x', evil), ('sub/bry_jlst.bxq', evil)])
elif kind == 'absolute':
    make([(outside + '/bry_cnfg.ini', evil), ('/' + outside.strip('/') + '/x', evil)])
elif kind == 'symlink':
    link = zipfile.ZipInfo('bry_cnfg.ini')
    link.create_system = 3
    link.external_attr = 0o120777 << 16
    make([('bry_msg.bxq', b'evil message'), (link, outside + '/target')])
elif kind == 'bomb':
    # Five megabytes that the headers call ten bytes.
    make([('bry_cnfg.ini', evil), ('bry_msg.bxq', bytes(5 * 1024 * 1024))])
    raw = bytearray(open(path, 'rb').read())
    info = zipfile.ZipFile(path).getinfo('bry_msg.bxq')
    struct.pack_into('<I', raw, info.header_offset + 22, 10)
    central = raw.find(b'PK\x01\x02' + raw[info.header_offset + 4:info.header_offset + 6])
    while raw[central + 46:central + 46 + len(b'bry_msg.bxq')] != b'bry_msg.bxq':
        central = raw.find(b'PK\x01\x02', central + 4)
    struct.pack_into('<I', raw, central + 24, 10)
    open(path, 'wb').write(raw)
elif kind == 'damaged':
    make([('bry_cnfg.ini', evil), ('bry_msg.bxq', b'Hello message ' * 4000)])
    raw = bytearray(open(path, 'rb').read())
    info = zipfile.ZipFile(path).getinfo('bry_msg.bxq')
    raw[data_start(raw, info) + info.compress_size // 2] ^= 0x55
    open(path, 'wb').write(raw)
elif kind == 'truncated':
    make([('bry_cnfg.ini', evil), ('bry_msg.bxq', b'evil message' * 1000)])
    raw = open(path, 'rb').read()
    open(path, 'wb').write(raw[:len(raw) // 2])
elif kind == 'foreign':
    make([('readme.txt', evil), ('notes/bry_cnfg.ini', evil)])
elif kind == 'longnames':
    make([('n' * 300 + '/bry_cnfg.ini', evil), ('bry_cnfg.ini' + 'x' * 60000, evil)])
elif kind == 'notzip':
    open(path, 'wb').write(b'This is a letter, not an archive.\n')
)"_s;

class WorkspaceTest : public testing::Test {
protected:
    QString DataFile(QStringView name) const { return ProgramDir() + name.toString(); }
    void Write(QStringView name, const QByteArray &bytes) const { WriteFileAtomic(DataFile(name), bytes); }
    QByteArray Read(QStringView name) const
    {
        QFile file(DataFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void WriteWorkspace(const QByteArray &tag) const
    {
        Write(WorkspaceConfigFile, "[Settings]\r\nSMTP_Server=" + tag + ".example\r\n");
        Write(WorkspaceListFile, "0|ann@" + tag + ".example|Not yet sent\r\n");
        Write(WorkspaceMessageFile, "Dear %1, this is " + tag + ".\r\n");
    }
    /** Every file below the temporary root with its size and time: what a restore must not change. */
    QStringList Snapshot() const
    {
        QStringList entries;
        QDirIterator it(data.Root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            entries.append(
                u"%1 %2 %3"_s.arg(info.filePath()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()));
        }
        entries.sort();
        return entries;
    }
    QStringList EntryNames(const QString &archivePath) const
    {
        QStringList names;
        int error = 0;
        zip_t *archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &error);
        if (!archive)
            return {u"<not an archive>"_s};
        for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i)
            names.append(QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), 0)));
        zip_discard(archive);
        return names;
    }
    void MakeHostile(const QString &path, const QString &kind) const
    {
        QProcess python;
        python.start(u"python3"_s, {u"-c"_s, HostileArchives, path, kind, data.Path(u"outside"_s)});
        ASSERT_TRUE(python.waitForFinished(HangGuardMs))
            << "Python had not finished writing the archive after " << HangGuardMs / 1000 << " s ("
            << python.errorString().toStdString() << ")";
        ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    }

    TempDataFolder data;
};

} // namespace

TEST_F(WorkspaceTest, BackupHoldsTheFilesAsTheyAreAndReplacesTheOldArchiveWhole)
{
    WriteWorkspace("first");
    const QString archive = data.Path(u"June.bxk"_s);
    WriteWorkspaceArchive(archive, ProgramDirNoBackslash());
    EXPECT_EQ(EntryNames(archive), WorkspaceFileNames());
    EXPECT_EQ(QFileInfo(archive).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());

    const QMap<QString, QByteArray> first = ReadWorkspaceArchive(archive, WorkspaceFileNames());
    for (const QStringView name : WorkspaceFiles)
        EXPECT_EQ(first.value(name.toString()), Read(name)) << name.toString().toStdString();

    // A second backup onto the same name holds exactly what exists now; a missing file is skipped.
    QFile::remove(DataFile(WorkspaceMessageFile));
    WriteWorkspace("second");
    QFile::remove(DataFile(WorkspaceListFile));
    WriteWorkspaceArchive(archive, ProgramDirNoBackslash());
    EXPECT_EQ(EntryNames(archive), (QStringList{u"bry_cnfg.ini"_s, u"bry_msg.bxq"_s}));
    EXPECT_TRUE(ReadWorkspaceArchive(archive, WorkspaceFileNames()).value(u"bry_cnfg.ini"_s).contains("second"));

    // With nothing to back up the archive is still a valid, empty one, with nothing to restore.
    for (const QStringView name : WorkspaceFiles)
        QFile::remove(DataFile(name));
    WriteWorkspaceArchive(archive, ProgramDirNoBackslash());
    EXPECT_TRUE(EntryNames(archive).isEmpty());
    EXPECT_THROW(ReadWorkspaceArchive(archive, WorkspaceFileNames()), AppError);
}

TEST_F(WorkspaceTest, HostileArchivesChangeNoFileAndWriteNothingOutsideTheDataFolder)
{
    QDir().mkpath(data.Path(u"outside"_s));
    WriteWorkspace("current");
    // Archives that hold none of the workspace files at their root: restoring
    // from them would only reset the statuses and rewrite the configuration.
    const QStringList foreign{u"dotdot"_s, u"absolute"_s, u"foreign"_s, u"longnames"_s};
    for (const QString &kind :
         foreign + QStringList{u"symlink"_s, u"bomb"_s, u"damaged"_s, u"truncated"_s, u"notzip"_s}) {
        SCOPED_TRACE(kind.toStdString());
        const QString archive = data.Path(kind + u".bxk"_s);
        MakeHostile(archive, kind);
        const QStringList before = Snapshot();
        try {
            // One megabyte is the most this test's restore takes of one entry.
            ReadWorkspaceArchive(archive, WorkspaceFileNames(), 1024 * 1024);
            ADD_FAILURE() << "restored";
        } catch (const AppError &error) {
            EXPECT_TRUE(error.Message().contains(u"\"%1\""_s.arg(archive)));
            EXPECT_EQ(foreign.contains(kind),
                      error.Message() == u"The file \"%1\" holds no workspace files."_s.arg(archive));
            // The library's own words say what is wrong.
            EXPECT_TRUE(kind != u"notzip"_s || error.Message().endsWith(u"\r\nNot a zip archive"_s));
        }
        EXPECT_EQ(Snapshot(), before);
        EXPECT_TRUE(Read(WorkspaceConfigFile).contains("current"));
    }
}
