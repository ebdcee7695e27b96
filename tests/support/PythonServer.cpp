#include "PythonServer.h"

#include "HangGuard.h"

#include <QElapsedTimer>

#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;

PythonServer::PythonServer(const QStringList &args)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(u"/usr/bin/python3"_s, args);
    if (m_process.waitForStarted(HangGuardMs))
        m_firstLine = NextLine(HangGuardMs);
    if (m_firstLine.isEmpty()) {
        const std::string error =
            m_process.errorString().toStdString() + ": " + m_process.readAllStandardError().toStdString();
        m_process.kill();
        m_process.waitForFinished();
        throw std::runtime_error("The test server " + args.value(0).toStdString()
                                 + " had not printed its first line after " + std::to_string(HangGuardMs / 1000)
                                 + " s, or ended before it: " + error);
    }
}

PythonServer::~PythonServer()
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QByteArray PythonServer::NextLine(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running && timer.elapsed() < timeoutMs)
        m_process.waitForReadyRead(50);
    return m_process.canReadLine() ? m_process.readLine().trimmed() : QByteArray();
}
