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

/** A new file next to the target, named target.XXXXXXX; removed unless it was renamed over the target. */
class TemporaryFile {
public:
    TemporaryFile(const QByteArray &target, mode_t mode)
        : m_fd(Create(target, mode, m_name))
    {
    }
    ~TemporaryFile()
    {
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    bool IsOpen() const { return m_fd.Get() >= 0; }
    int Fd() const { return m_fd.Get(); }
    bool Close() { return m_fd.Close(); }
    bool RenameOver(const QByteArray &target)
    {
        if (::rename(m_name.constData(), target.constData()) != 0)
            return false;
        m_name.clear();
        return true;
    }

private:
    /** The descriptor, and in name the file's name; -1 and an empty name when no file could be made. */
    static int Create(const QByteArray &target, mode_t mode, QByteArray &name)
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

    QByteArray m_name;
    FileDescriptor m_fd;
};

/** The file a path finally names; a loop of links ends where it was found. */
QString FollowLinks(const QString &fileName)
{
    QFileInfo info(fileName);
    for (int hops = 0; hops < 40 && info.isSymLink(); ++hops)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

bool ReplaceFile(const QString &fileName, const QByteArray &bytes, bool privateFile)
{
    const QString finalName = FollowLinks(fileName);
    const QByteArray target = QFile::encodeName(finalName);
    struct stat old = {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    // Replacing would get round a file the user made read-only.
    if (exists && ::access(target.constData(), W_OK) != 0)
        return false;

    TemporaryFile temp(target, privateFile ? 0600 : 0666);
    if (!temp.IsOpen())
        return false;
    if (exists && !privateFile && ::fchmod(temp.Fd(), old.st_mode & 07777) != 0)
        return false;
    if (!WriteAll(temp.Fd(), bytes.constData(), bytes.size()) || !SyncToDisk(temp.Fd()) || !temp.Close())
        return false;
    if (!temp.RenameOver(target))
        return false;
    return SyncFolderOf(finalName);
}

} // namespace

void WriteFileAtomic(const QString &fileName, const QByteArray &bytes, bool privateFile)
{
    if (!ReplaceFile(fileName, bytes, privateFile))
        throw AppError(QStringLiteral("Unable to write to %1").arg(fileName));
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
