#pragma once

#include "AppError.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <list>
#include <utility>

// Every data file of the program is written here, so that a crash, a full disk
// or any other failed write leaves the file as it was: the bytes go to a
// temporary file in the same folder, reach the disk, and only then replace the
// file by a rename. Each step's result is checked; nothing is left to a buffer
// that might fail after the rename.

/**
 * Replaces the content of fileName with bytes, atomically. A symbolic link is
 * followed, so the link stays and the file it names is replaced. The file keeps
 * its permissions (a new one gets 0666 less the umask); privateFile: mode 0600,
 * set before the first byte is written (it holds a password).
 * Throws AppError("Unable to write to <fileName>") when any step fails and
 * leaves no temporary file behind. Up to the rename the old file is untouched;
 * only a failure to sync the folder afterwards reports a file already replaced.
 */
void WriteFileAtomic(const QString &fileName, const QByteArray &bytes, bool privateFile = false);

/**
 * @short Every file took its place, but a folder that holds them could not be
 * synced afterwards: the files hold their new content, which a crash may
 * still lose.
 */
class UnsyncedFolderError final : public AppError {
public:
    using AppError::AppError;
};

/**
 * @short Files put in place together could neither all take their places
 * nor all be put back as they were (a failing disk): the files named are not
 * as they were, and each one's old content, if it had one, waits under a
 * temporary name.
 */
class PartialCommitError final : public AppError {
public:
    /** @short A file not as it was. */
    struct File {
        QString name;       // as staged
        bool hasNewContent; // false: nothing is at its name
        QString keptAs;     // the temporary file that holds its old content; empty when it had none
    };

    PartialCommitError(const QString &message, QList<File> changed)
        : AppError(message)
        , m_changed(std::move(changed))
    {
    }

    const QList<File> &Changed() const { return m_changed; }
    /** True when the file staged as name holds its new content. */
    bool HasNewContent(const QString &name) const;

private:
    QList<File> m_changed;
};

/**
 * @short A file's new content, written and synced beside it, that replaces it
 * only when committed. Files that must change together are all staged first
 * and then committed together: a failure while staging or committing leaves
 * every one of them as it was. A staged file dropped without a commit removes
 * its temporary file.
 */
class StagedFile {
public:
    /**
     * Writes bytes to a temporary file next to fileName (links followed and
     * permissions kept as WriteFileAtomic does) and syncs it. Throws
     * AppError("Unable to write to <fileName>") when any step fails, and then
     * leaves no temporary file behind.
     */
    StagedFile(const QString &fileName, const QByteArray &bytes, bool privateFile = false);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    /**
     * Renames the temporary file over the file and syncs the folder. Throws
     * AppError as the constructor does; only a failure to sync the folder
     * reports a file already replaced.
     */
    void Commit();

    /**
     * Puts every file in place, all or none. Each file's place must hold a
     * regular file or nothing; each is exchanged with its new content (with
     * hard links or plain renames where the file system cannot exchange), and
     * when one cannot take its place the ones before it are exchanged back.
     * Every folder is then synced once. Throws AppError("Unable to write to
     * <fileName>") for the file that could not take its place, every file
     * being as it was; and UnsyncedFolderError("Unable to write to <folder>")
     * when all are in place but a folder sync fails. Leaves no temporary file
     * behind, except where a file cannot be put back as it was: it then keeps
     * the new content (or, when an exchange failed half-way, nothing), its old
     * content stays under the temporary name rather than be lost, and
     * PartialCommitError, with the same text, names each such file.
     */
    static void CommitTogether(std::list<StagedFile> &files);

private:
    /**
     * Where the new content is: waiting under the temporary name, or in the
     * file's place; or dropped by an exchange stopped half-way, which left
     * the place empty and the old content under the temporary name.
     */
    enum class Place : std::uint8_t { Waiting, Taken, Vacated };

    bool Stage(const QByteArray &bytes, bool privateFile);
    bool MayTakePlace();
    bool TakePlace();
    void GiveBackPlace();
    /** Exchanges the temporary file with the file in place, either way, and notes where each content went. */
    void ExchangeWithPlace();
    void Discard();
    [[noreturn]] void Fail() const;

    QString m_fileName;
    QString m_finalName;     // the file the name finally names
    QByteArray m_tempName;   // the content not in place; empty once renamed or kept, or when no file was made
    bool m_replaces = false; // a file was in place: exchanged with it, the temporary name holds the old content
    Place m_place = Place::Waiting;
};

/** @short An open file descriptor, closed on every way out of its scope. */
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int Get() const { return m_fd; }
    /** Closes now; false when the close reports an earlier write that failed. */
    bool Close();

private:
    int m_fd;
};

/** Writes all size bytes to an open file, going on after short writes and signals; false (errno set) on failure. */
bool WriteAll(int fd, const char *data, qint64 size);

/** Makes what was written to an open file durable (fdatasync); false (errno set) on failure. */
bool SyncToDisk(int fd);

/** Makes a file's new name durable: syncs the folder that holds it; false when that fails. */
bool SyncFolderOf(const QString &fileName);

/**
 * Test hook: from now on WriteAll behaves as on a disk with only `bytes` bytes
 * left: a write past them fails with ENOSPC. A negative value ends it.
 */
void SetDiskSpaceForTests(qint64 bytes);

/** Test hook: the next count folder syncs fail as on a failing disk (EIO). */
void FailFolderSyncsForTests(int count);

/**
 * Test hook: files put in place together meet a file system that refuses
 * renameat2's flags with renameFlagsError (EINVAL as NFS, ENOSYS as a sandbox
 * that filters the call; 0: it takes them) and, when noHardLinks, hard links
 * with EPERM (as vfat, exFAT, some FUSE and SMB mounts). The failingRename-th
 * and the secondFailingRename-th plain rename they then make in place of
 * renameat2 fail as on a failing disk (EIO); 0: none fails.
 */
void LimitFileSystemForTests(int renameFlagsError, bool noHardLinks, int failingRename = 0,
                             int secondFailingRename = 0);
