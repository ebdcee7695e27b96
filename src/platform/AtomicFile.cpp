#include "AtomicFile.h"

#include "AppError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<qint64> g_diskSpaceForTests{-1};

/** A new file named target.XXXXXXX, open for writing, its name in name; -1 and an empty name when none was made. */
int CreateTemporary(const QByteArray &target, mode_t mode, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return -1;
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

void StagedFile::Discard()
{
    if (!m_tempName.isEmpty())
        ::unlink(m_tempName.constData());
    m_tempName.clear();
}

void StagedFile::Fail() const
{
    throw AppError(QStringLiteral("Unable to write to %1").arg(m_fileName));
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
