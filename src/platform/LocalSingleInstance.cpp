#include "LocalSingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// The running instance's answer: its window title, one line. A later start
// that recognises the program answers with this request.
const QByteArray ComeForwardRequest = QByteArrayLiteral("COME FORWARD\n");
// As much of the title as a 256-byte buffer held, terminator included.
constexpr qsizetype TitleBufferSize = 256;
constexpr int ConnectWaitMs = 1000;
constexpr int AnswerWaitMs = 2000;

QString UserSuffix()
{
    return QString::number(::getuid());
}

// Reads one line within the time left; an instance that does not answer in
// time is taken for one that is not there.
QByteArray ReadLine(QLocalSocket &socket, int waitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!socket.canReadLine()) {
        const int left = waitMs - int(timer.elapsed());
        if (left <= 0 || socket.bytesAvailable() >= TitleBufferSize * 4 || !socket.waitForReadyRead(left))
            break;
    }
    return socket.readLine(TitleBufferSize * 4);
}

} // namespace

LocalSingleInstance::LocalSingleInstance(QString folder, QString titleMark, int waitMs)
    : m_folder(std::move(folder))
    , m_titleMark(std::move(titleMark))
    , m_waitMs(waitMs)
    , m_lock(LockFileName())
{
    // The lock is held only while a start creates its window. A holder that
    // hangs keeps it (later starts end when their wait runs out); one that died
    // leaves a file the lock recognises as stale.
    m_lock.setStaleLockTime(0);
}

LocalSingleInstance::~LocalSingleInstance()
{
    if (m_server)
        m_server->close();
}

QString LocalSingleInstance::DefaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

QString LocalSingleInstance::LockFileName() const
{
    return QDir(m_folder).filePath(QLatin1String(BaseName) + QLatin1Char('-') + UserSuffix() + QStringLiteral(".lock"));
}

QString LocalSingleInstance::ServerName() const
{
    return QDir(m_folder).filePath(QLatin1String(BaseName) + QLatin1Char('-') + UserSuffix());
}

SingleInstance::StartupResult LocalSingleInstance::StartupCheck()
{
    // Only a wait that ran out ends the start; a lock file that cannot be
    // made at all must not keep the program from starting.
    if (!m_lock.tryLock(m_waitMs) && m_lock.error() == QLockFile::LockFailedError
        && !(RemoveUnnamedLock() && m_lock.tryLock(0)))
        return StartupResult::TimedOut;
    return AskRunningInstance() ? StartupResult::Deferred : StartupResult::Proceed;
}

bool LocalSingleInstance::RemoveUnnamedLock()
{
    // A start killed between making the lock file and writing its owner into
    // it leaves a file the lock cannot tell from a live holder's. The owner is
    // written right after the file is made, so a file still nameless after the
    // whole wait belongs to nobody; left alone, it would end every later start.
    qint64 pid = 0;
    QString host;
    QString app;
    const QFileInfo file(LockFileName());
    if (m_lock.getLockInfo(&pid, &host, &app) || !file.exists()
        || file.lastModified().msecsTo(QDateTime::currentDateTime()) < m_waitMs)
        return false;
    return QFile::remove(file.filePath());
}

bool LocalSingleInstance::AskRunningInstance() const
{
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(ConnectWaitMs))
        return false;
    const QString title = QString::fromUtf8(ReadLine(socket, AnswerWaitMs)).left(TitleBufferSize - 1);
    if (!title.contains(m_titleMark, Qt::CaseSensitive))
        return false;
    socket.write(ComeForwardRequest);
    socket.waitForBytesWritten(ConnectWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(ConnectWaitMs);
    return true;
}

void LocalSingleInstance::Serve(std::function<QString()> title, std::function<void()> comeForward)
{
    m_title = std::move(title);
    m_comeForward = std::move(comeForward);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] { OnNewConnection(); });
    if (m_server->listen(ServerName()))
        return;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return;
    // A socket file that nobody answers on was left by an instance that died.
    QLocalSocket probe;
    probe.connectToServer(ServerName());
    if (probe.waitForConnected(ConnectWaitMs))
        return; // an instance with an unrecognised title runs: later starts find that one
    QLocalServer::removeServer(ServerName());
    m_server->listen(ServerName());
}

void LocalSingleInstance::OnNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { OnRequest(socket); });
        socket->write(m_title().toUtf8().replace('\n', ' ') + '\n');
        socket->flush();
    }
}

void LocalSingleInstance::OnRequest(QLocalSocket *socket)
{
    while (socket->canReadLine()) {
        if (socket->readLine(TitleBufferSize) == ComeForwardRequest && m_comeForward)
            m_comeForward();
    }
    // Nothing but the one short request is expected: a peer that sends more is dropped.
    if (socket->bytesAvailable() > TitleBufferSize)
        socket->abort();
}

void LocalSingleInstance::ReleaseStartup()
{
    m_lock.unlock();
}
