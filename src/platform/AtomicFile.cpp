#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<qint64> g_diskSpaceForTests{-1};
std::atomic<int> g_failingFolderSyncsForTests{0};
std::atomic<int> g_renameFlagsErrorForTests{0};
std::atomic<bool> g_noHardLinksForTests{false};
std::atomic<int> g_plainRenamesForTests{0}; // made since the file system was limited
std::atomic<int> g_failingRenameForTests{0};
std::atomic<int> g_secondFailingRenameForTests{0};

/**
 * Makes a new name target.XXXXXXX with make (which fails with EEXIST when the
 * name is taken) and returns it; empty when none was made.
 */
template <class Make> QByteArray NewTemporaryName(const QByteArray &target, Make make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        if (make(name))
            return name;
        if (errno != EEXIST)
            break;
    }
    return {};
}

/** A new file named target.XXXXXXX, open for writing, its name in name; -1 and an empty name when none was made. */
int CreateTemporary(const QByteArray &target, mode_t mode, QByteArray &name)
{
    int fd = -1;
    name = NewTemporaryName(target, [&](const QByteArray &candidate) {
        fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        return fd >= 0;
    });
    return fd;
}

/** renameat2 with its flags, or the error a file system without them gives (test hook). */
bool RenameWithFlags(const QByteArray &from, const QByteArray &to, unsigned flags)
{
    if (const int error = g_renameFlagsErrorForTests) {
        errno = error;
        return false;
    }
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), flags) == 0;
}

/** A hard link, or the error a file system without them gives (test hook). */
bool HardLink(const QByteArray &from, const QByteArray &to)
{
    if (g_noHardLinksForTests) {
        errno = EPERM;
        return false;
    }
    return ::link(from.constData(), to.constData()) == 0;
}

/** A plain rename, or the error a failing disk gives (test hook). */
bool PlainRename(const QByteArray &from, const QByteArray &to)
{
    const int made = ++g_plainRenamesForTests;
    if (made == g_failingRenameForTests || made == g_secondFailingRenameForTests) {
        errno = EIO;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

/** RENAME_NOREPLACE with a hard link: the new name is taken only when free. */
bool LinkedMove(const QByteArray &from, const QByteArray &to)
{
    if (!HardLink(from, to))
        return false;
    if (::unlink(from.constData()) == 0)
        return true;
    ::unlink(to.constData());
    return false;
}

/**
 * RENAME_EXCHANGE with a hard link: the file at to gets a second name, the
 * file at from takes its place, and the second name becomes from. to always
 * has a file; from has none between the last two steps. A failed step undoes
 * the ones before it; where the undo stops half-way, the exchange stands with
 * from without a file and to's old one under the second name (displaced).
 */
bool LinkedExchange(const QByteArray &from, const QByteArray &to, QByteArray &displaced)
{
    displaced = to;
    const QByteArray aside = NewTemporaryName(to, [&](const QByteArray &candidate) { return HardLink(to, candidate); });
    if (aside.isEmpty())
        return false;
    if (!PlainRename(from, to)) {
        ::unlink(aside.constData());
        return false;
    }
    if (PlainRename(aside, from)) {
        displaced = from;
        return true;
    }
    // The file now at to goes back to from before the aside replaces it: giving
    // an earlier file back, it is the only old content. A link, so that to is
    // never without a file; should the aside not follow, the link goes again
    // and the exchange stands, to's file aside.
    if (HardLink(to, from)) {
        if (PlainRename(aside, to))
            return false;
        ::unlink(from.constData());
    }
    displaced = aside;
    return true;
}

/**
 * RENAME_NOREPLACE with a plain rename: the name is looked at first. Only one
 * copy of the program writes in its folder, so nothing takes the name between.
 */
bool PlainMove(const QByteArray &from, const QByteArray &to)
{
    struct stat target = {};
    if (::lstat(to.constData(), &target) == 0) {
        errno = EEXIST;
        return false;
    }
    return errno == ENOENT && PlainRename(from, to);
}

/**
 * RENAME_EXCHANGE with plain renames: the file at to steps aside to a name of
 * its own, the file at from takes its place, and the one aside takes from's
 * name. Each name is without a file for a while: to between the first two
 * renames, from between the last two. A failed step undoes the ones before
 * it, from's file first, so that the aside never goes back over the only copy
 * of it; where the undo stops half-way, one name stays without a file and the
 * aside keeps to's old one (displaced).
 */
bool PlainExchange(const QByteArray &from, const QByteArray &to, QByteArray &displaced)
{
    displaced = to;
    // A name of its own: an empty file made for it, which the rename replaces.
    QByteArray aside;
    if (FileDescriptor(CreateTemporary(to, 0600, aside)).Get() < 0)
        return false;
    if (!PlainRename(to, aside)) {
        ::unlink(aside.constData());
        return false;
    }
    displaced = aside;
    if (PlainRename(from, to)) {
        if (PlainRename(aside, from)) {
            displaced = from;
            return true;
        }
        // from's file cannot go back: the exchange stands, to's file aside.
        if (!PlainRename(to, from))
            return true;
    }
    if (PlainRename(aside, to))
        displaced = to;
    return false;
}

/**
 * renameat2 failed for want of its flags: NFS refuses them with EINVAL, a
 * sandbox that filters the call with ENOSYS.
 */
bool FlagsRefused()
{
    return errno == EINVAL || errno == ENOSYS;
}

/** A hard link failed for want of them: vfat, exFAT, some FUSE and SMB mounts refuse them with EPERM. */
bool HardLinksRefused()
{
    return errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS;
}

/**
 * renameat2's RENAME_NOREPLACE: moves from to a free name only; with a hard
 * link, or a plain rename, where the file system refuses the flag.
 */
bool Move(const QByteArray &from, const QByteArray &to)
{
    if (RenameWithFlags(from, to, RENAME_NOREPLACE))
        return true;
    if (!FlagsRefused())
        return false;
    if (LinkedMove(from, to))
        return true;
    return HardLinksRefused() && PlainMove(from, to);
}

/**
 * renameat2's RENAME_EXCHANGE: swaps two files; with a hard link, or plain
 * renames, where the file system refuses the flag. True when from's file took
 * to's name. displaced: the name that then holds to's file: from once
 * exchanged, to itself when nothing changed. A failing disk may stop an undo
 * half-way and leave it under a name of its own: to then holds from's file
 * (true) or, between plain renames, nothing (false).
 */
bool Exchange(const QByteArray &from, const QByteArray &to, QByteArray &displaced)
{
    displaced = from;
    if (RenameWithFlags(from, to, RENAME_EXCHANGE))
        return true;
    displaced = to;
    if (!FlagsRefused())
        return false;
    if (LinkedExchange(from, to, displaced))
        return true;
    return HardLinksRefused() && PlainExchange(from, to, displaced);
}

/** The text of every failed write. */
QString UnableToWrite(const QString &fileName)
{
    return QStringLiteral("Unable to write to %1").arg(fileName);
}

/** The file a path finally names; a loop of links ends where it was found. */
QString FollowLinks(const QString &fileName)
{
    QFileInfo info(fileName);
    for (int hops = 0; hops < 40 && info.isSymLink(); ++hops)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

} // namespace

void WriteFileAtomic(const QString &fileName, const QByteArray &bytes, bool privateFile)
{
    StagedFile(fileName, bytes, privateFile).Commit();
}

StagedFile::StagedFile(const QString &fileName, const QByteArray &bytes, bool privateFile)
    : m_fileName(fileName)
    , m_finalName(FollowLinks(fileName))
{
    if (!Stage(bytes, privateFile)) {
        Discard();
        Fail();
    }
}

StagedFile::~StagedFile()
{
    Discard();
}

bool StagedFile::Stage(const QByteArray &bytes, bool privateFile)
{
    const QByteArray target = QFile::encodeName(m_finalName);
    struct stat old = {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    // Replacing would get round a file the user made read-only.
    if (exists && ::access(target.constData(), W_OK) != 0)
        return false;

    FileDescriptor temp(CreateTemporary(target, privateFile ? 0600 : 0666, m_tempName));
    if (temp.Get() < 0)
        return false;
    if (exists && !privateFile && ::fchmod(temp.Get(), old.st_mode & 07777) != 0)
        return false;
    return WriteAll(temp.Get(), bytes.constData(), bytes.size()) && SyncToDisk(temp.Get()) && temp.Close();
}

void StagedFile::Commit()
{
    if (::rename(m_tempName.constData(), QFile::encodeName(m_finalName).constData()) != 0)
        Fail();
    m_tempName.clear();
    if (!SyncFolderOf(m_finalName))
        Fail();
}

void StagedFile::CommitTogether(std::list<StagedFile> &files)
{
    const auto fail = [&files](const StagedFile &failed) {
        QList<PartialCommitError::File> changed;
        for (StagedFile &file : files) {
            if (file.m_place != Place::Waiting) {
                // Not as it was: the only copy of its old content, if it had one, keeps the temporary name.
                changed.append({file.m_fileName, file.m_place == Place::Taken,
                                file.m_replaces ? QFile::decodeName(file.m_tempName) : QString()});
                file.m_tempName.clear();
            }
            file.Discard();
        }
        if (changed.isEmpty())
            failed.Fail();
        throw PartialCommitError(UnableToWrite(failed.m_fileName), changed);
    };
    // Only a file can be exchanged back: a folder (or a link, a device) in a
    // file's place stops them all before the first one moves.
    for (StagedFile &file : files) {
        if (!file.MayTakePlace())
            fail(file);
    }
    for (auto next = files.begin(); next != files.end(); ++next) {
        if (next->TakePlace())
            continue;
        for (auto done = std::make_reverse_iterator(next); done != files.rend(); ++done)
            done->GiveBackPlace();
        fail(*next);
    }
    for (StagedFile &file : files) {
        if (file.m_replaces)
            file.Discard();
        else
            file.m_tempName.clear();
    }
    // Once per folder, after the last file: the files are in place whatever the sync says.
    QStringList synced;
    for (const StagedFile &file : files) {
        const QString folder = QFileInfo(file.m_finalName).absolutePath();
        if (synced.contains(folder))
            continue;
        synced.append(folder);
        if (!SyncFolderOf(file.m_finalName))
            throw UnsyncedFolderError(UnableToWrite(folder));
    }
}

bool StagedFile::MayTakePlace()
{
    struct stat target = {};
    m_replaces = ::lstat(QFile::encodeName(m_finalName).constData(), &target) == 0;
    return m_replaces ? S_ISREG(target.st_mode) : errno == ENOENT;
}

bool StagedFile::TakePlace()
{
    if (m_replaces)
        ExchangeWithPlace();
    else if (Move(m_tempName, QFile::encodeName(m_finalName)))
        m_place = Place::Taken;
    return m_place == Place::Taken;
}

void StagedFile::GiveBackPlace()
{
    if (m_replaces)
        ExchangeWithPlace();
    else if (Move(QFile::encodeName(m_finalName), m_tempName))
        m_place = Place::Waiting;
}

void StagedFile::ExchangeWithPlace()
{
    const QByteArray target = QFile::encodeName(m_finalName);
    QByteArray displaced;
    if (Exchange(m_tempName, target, displaced)) {
        m_tempName = displaced;
        m_place = m_place == Place::Taken ? Place::Waiting : Place::Taken;
        return;
    }
    if (displaced == target)
        return;
    // Stopped half-way, nothing in place: of the two contents only the old one is kept.
    if (m_place == Place::Taken) {
        ::unlink(displaced.constData());
    } else {
        ::unlink(m_tempName.constData());
        m_tempName = displaced;
    }
    m_place = Place::Vacated;
}

void StagedFile::Discard()
{
    if (!m_tempName.isEmpty())
        ::unlink(m_tempName.constData());
    m_tempName.clear();
}

void StagedFile::Fail() const
{
    throw AppError(UnableToWrite(m_fileName));
}

bool PartialCommitError::HasNewContent(const QString &name) const
{
    return std::ranges::any_of(m_changed, [&](const File &file) { return file.hasNewContent && file.name == name; });
}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileDescriptor::Close()
{
    return ::close(std::exchange(m_fd, -1)) == 0;
}

bool SyncFolderOf(const QString &fileName)
{
    if (g_failingFolderSyncsForTests > 0) {
        --g_failingFolderSyncsForTests;
        errno = EIO;
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(fileName).absolutePath());
    const FileDescriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Some file systems cannot sync a folder; the rename is then as safe as they make it.
    return fd.Get() >= 0 && (::fsync(fd.Get()) == 0 || errno == EINVAL);
}

bool WriteAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        qint64 chunk = size;
        const qint64 space = g_diskSpaceForTests.load();
        if (space >= 0) {
            if (space == 0) {
                errno = ENOSPC;
                return false;
            }
            chunk = std::min(chunk, space);
        }
        const ssize_t written = ::write(fd, data, static_cast<size_t>(chunk));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {
            errno = EIO;
            return false;
        }
        if (space >= 0)
            g_diskSpaceForTests -= written;
        data += written;
        size -= written;
    }
    return true;
}

bool SyncToDisk(int fd)
{
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void SetDiskSpaceForTests(qint64 bytes)
{
    g_diskSpaceForTests = bytes;
}

void FailFolderSyncsForTests(int count)
{
    g_failingFolderSyncsForTests = count;
}

void LimitFileSystemForTests(int renameFlagsError, bool noHardLinks, int failingRename, int secondFailingRename)
{
    g_renameFlagsErrorForTests = renameFlagsError;
    g_noHardLinksForTests = noHardLinks;
    g_plainRenamesForTests = 0;
    g_failingRenameForTests = failingRename;
    g_secondFailingRenameForTests = secondFailingRename;
}
