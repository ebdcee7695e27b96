#include "Workspace.h"

#include "AppError.h"
#include "AtomicFile.h"
#include "TRestoreSett.h"
#include "TextHelpers.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <ctime>
#include <list>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The end record of a ZIP archive without entries: libzip writes no file at
// all for an empty archive, but a backup of nothing must still be a backup.
constexpr char EmptyArchive[22] = {'P', 'K', 5, 6};

constexpr zip_uint32_t UnixFileTypeMask = 0170000;
constexpr zip_uint32_t UnixSymlink = 0120000;

struct ArchiveDiscarder {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveDiscarder>;

struct SourceFreer {
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFreer>;

struct EntryCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using EntryPtr = std::unique_ptr<zip_file_t, EntryCloser>;

/** @short A libzip error record, freed with its owner. */
class ZipError {
public:
    ZipError() { zip_error_init(&m_error); }
    explicit ZipError(int code) { zip_error_init_with_code(&m_error, code); }
    ~ZipError() { zip_error_fini(&m_error); }
    ZipError(const ZipError &) = delete;
    ZipError &operator=(const ZipError &) = delete;

    zip_error_t *get() { return &m_error; }
    QString Text() { return QString::fromLocal8Bit(zip_error_strerror(&m_error)); }

private:
    zip_error_t m_error;
};

[[noreturn]] void FailReading(const QString &archivePath, const QString &reason)
{
    throw AppError(u"Unable to read \"%1\".\r\n%2"_s.arg(archivePath, reason));
}

[[noreturn]] void FailWriting(const QString &archivePath, const QString &reason)
{
    throw AppError(u"Unable to write to %1\r\n%2"_s.arg(archivePath, reason));
}

/** @short One workspace file as it goes into the archive. */
struct SourceFile {
    QString name;
    QByteArray bytes;
    QDateTime modified;
};

/** The archive built in memory from the files; no files give the empty archive. */
QByteArray BuildArchive(const QString &archivePath, const std::vector<SourceFile> &files)
{
    if (files.empty())
        return QByteArray(EmptyArchive, sizeof EmptyArchive);

    ZipError error;
    const SourcePtr buffer(zip_source_buffer_create(nullptr, 0, 0, error.get()));
    if (!buffer)
        FailWriting(archivePath, error.Text());
    // The buffer must outlive the archive object: it is where the archive is written.
    zip_source_keep(buffer.get());
    ArchivePtr archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, error.get()));
    if (!archive) {
        zip_source_free(buffer.get()); // the reference the failed open did not take
        FailWriting(archivePath, error.Text());
    }
    for (const SourceFile &file : files) {
        // The bytes stay in place until the archive is closed: the source only points at them.
        zip_source_t *source =
            zip_source_buffer(archive.get(), file.bytes.constData(), zip_uint64_t(file.bytes.size()), 0);
        const QByteArray name = file.name.toUtf8();
        const zip_int64_t index = source ? zip_file_add(archive.get(), name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            FailWriting(archivePath, QString::fromLocal8Bit(zip_strerror(archive.get())));
        }
        zip_file_set_mtime(archive.get(), zip_uint64_t(index), time_t(file.modified.toSecsSinceEpoch()), 0);
    }
    if (zip_close(archive.get()) != 0)
        FailWriting(archivePath, QString::fromLocal8Bit(zip_strerror(archive.get())));
    archive.release(); // zip_close freed it

    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0)
        FailWriting(archivePath, QString::fromLocal8Bit(zip_error_strerror(zip_source_error(buffer.get()))));
    QByteArray result(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(buffer.get(), result.data(), zip_uint64_t(result.size()));
    zip_source_close(buffer.get());
    if (read != zip_int64_t(result.size()))
        FailWriting(archivePath, QString::fromLocal8Bit(zip_error_strerror(zip_source_error(buffer.get()))));
    return result;
}

bool IsSymlink(zip_t *archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & UnixFileTypeMask) == UnixSymlink;
}

QByteArray ReadEntry(const QString &archivePath, zip_t *archive, zip_uint64_t index, const QString &name,
                     qint64 maxEntrySize)
{
    const EntryPtr file(zip_fopen_index(archive, index, 0));
    if (!file)
        FailReading(archivePath, name + u": "_s + QString::fromLocal8Bit(zip_strerror(archive)));
    QByteArray bytes;
    char chunk[65536];
    zip_int64_t count = 0;
    // The size is counted as the data comes: the archive's own figure may lie.
    // The checksum is checked by the library once the end is reached.
    while ((count = zip_fread(file.get(), chunk, sizeof chunk)) > 0) {
        if (bytes.size() + count > maxEntrySize)
            FailReading(archivePath, u"%1: the entry is larger than %2 MB."_s.arg(name).arg(maxEntrySize / 1048576));
        bytes.append(chunk, qsizetype(count));
    }
    if (count < 0)
        FailReading(archivePath, name + u": "_s + QString::fromLocal8Bit(zip_file_strerror(file.get())));
    return bytes;
}

/** The line of a failed restore's message for a file that could not be put back as it was. */
QString ChangedFileLine(const PartialCommitError::File &file)
{
    const QString name = QFileInfo(file.name).fileName();
    if (!file.hasNewContent)
        return u"\r\n%1 is gone; its previous content was kept as %2."_s.arg(name, file.keptAs);
    if (file.keptAs.isEmpty())
        return u"\r\n%1 now holds the backup's content; it did not exist before."_s.arg(name);
    return u"\r\n%1 now holds the backup's content; its previous content was kept as %2."_s.arg(name, file.keptAs);
}

} // namespace

QString WorkspaceFilter()
{
    return u"Workspace Files (*.%1)|*.%1"_s.arg(WorkspaceExtension);
}

QStringList WorkspaceFileNames()
{
    QStringList names;
    for (const QStringView name : WorkspaceFiles)
        names.append(name.toString());
    return names;
}

void WriteWorkspaceArchive(const QString &archivePath, const QString &dataDir)
{
    std::vector<SourceFile> files;
    for (const QStringView name : WorkspaceFiles) {
        const QFileInfo info(JoinPath(dataDir, name.toString()));
        if (!info.isFile())
            continue;
        QFile file(info.filePath());
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (!file.isOpen() || file.error() != QFileDevice::NoError)
            throw AppError(u"Unable to read \"%1\".\r\n%2"_s.arg(info.filePath(), file.errorString()));
        files.push_back({name.toString(), bytes, info.lastModified()});
    }
    WriteFileAtomic(archivePath, BuildArchive(archivePath, files), true);
}

QMap<QString, QByteArray> ReadWorkspaceArchive(const QString &archivePath, const QStringList &entries,
                                               qint64 maxEntrySize)
{
    int code = 0;
    const ArchivePtr archive(zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        ZipError error(code);
        FailReading(archivePath, error.Text());
    }
    // Restoring from a file that holds none of them would still reset what the
    // options reset (the statuses, the settings from an unchanged file): it is
    // no backup of a workspace, so nothing happens.
    const bool holdsWorkspace = std::ranges::any_of(WorkspaceFiles, [&](QStringView name) {
        return zip_name_locate(archive.get(), name.toUtf8().constData(), 0) >= 0;
    });
    if (!holdsWorkspace)
        throw AppError(u"The file \"%1\" holds no workspace files."_s.arg(archivePath));
    QMap<QString, QByteArray> found;
    for (const QString &name : entries) {
        // Only the exact name at the root counts: "x/bry_cnfg.ini" or "../bry_cnfg.ini" is another entry.
        const zip_int64_t index = zip_name_locate(archive.get(), name.toUtf8().constData(), 0);
        if (index < 0)
            continue;
        if (IsSymlink(archive.get(), zip_uint64_t(index)))
            FailReading(archivePath, u"%1 is a link, not a file."_s.arg(name));
        found.insert(name, ReadEntry(archivePath, archive.get(), zip_uint64_t(index), name, maxEntrySize));
    }
    return found;
}

void RestoreWorkspaceFiles(const QMap<QString, QByteArray> &contents, const QString &dataDir,
                           const QStringList &entries)
{
    // All or nothing: a configuration from the archive beside the old list (a
    // disk that filled up half-way) would be a workspace nobody backed up.
    std::list<StagedFile> staged;
    QStringList names;
    try {
        for (const QString &name : entries) {
            const auto it = contents.constFind(name);
            if (it == contents.constEnd())
                continue;
            // The configuration holds the scrambled password: its owner's eyes only.
            staged.emplace_back(JoinPath(dataDir, name), it.value(), name == WorkspaceConfigFile);
            names.append(name);
        }
        StagedFile::CommitTogether(staged);
    } catch (const UnsyncedFolderError &error) {
        throw UnsyncedFolderError(error.Message()
                                  + u"\r\nThese files now hold the backup's content: %1."_s.arg(names.join(u", "_s)));
    } catch (const PartialCommitError &error) {
        QString message = error.Message();
        for (const PartialCommitError::File &file : error.Changed())
            message += ChangedFileLine(file);
        throw PartialCommitError(message + u"\r\nNothing else was restored."_s, error.Changed());
    } catch (const AppError &error) {
        throw AppError(error.Message() + u"\r\nNothing was restored."_s);
    }
}

TRestorePlan PlanRestore(const TRestoreSett &options)
{
    TRestorePlan plan;
    if (options.IsOn(rpRestoreCon) || options.IsOn(rpRestoreMsg))
        plan.Entries.append(WorkspaceConfigFile.toString());
    if (options.IsOn(rpRestoreCon))
        plan.Groups += sgConnection;
    if (options.IsOn(rpRestoreMsg)) {
        plan.Entries.append(WorkspaceMessageFile.toString());
        plan.Groups += sgMessage;
    }
    if (options.IsOn(rpRestoreLst)) {
        plan.Entries.append(WorkspaceListFile.toString());
        plan.Groups += sgListFiles;
    }
    return plan;
}
