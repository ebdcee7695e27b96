#include "ScriptedSmtpServer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

constexpr int StartTimeoutMs = 15000;

bool WaitForLine(QProcess &process, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!process.canReadLine()) {
        if (process.state() != QProcess::Running || timer.elapsed() > timeoutMs)
            return process.canReadLine();
        process.waitForReadyRead(50);
    }
    return true;
}

} // namespace

ScriptedSmtpServer::ScriptedSmtpServer(const QList<ServerStep> &script)
{
    QJsonArray steps;
    for (const ServerStep &step : script)
        steps.append(QJsonArray{step.Action, QString::fromLatin1(step.Bytes.toBase64()), step.Seconds});
    // stdin stays an open pipe: the server ends when it closes.
    m_process.start(u"/usr/bin/python3"_s, {QStringLiteral(VC_SCRIPTED_SMTP_SERVER),
                                            QString::fromUtf8(QJsonDocument(steps).toJson(QJsonDocument::Compact))});
    if (!m_process.waitForStarted(StartTimeoutMs) || !WaitForLine(m_process, StartTimeoutMs))
        throw std::runtime_error("ScriptedSmtpServer: the server did not come up: "
                                 + m_process.readAllStandardError().toStdString());
    m_port = static_cast<quint16>(m_process.readLine().trimmed().toUInt());
}

ScriptedSmtpServer::~ScriptedSmtpServer()
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QStringList ScriptedSmtpServer::Commands(int timeoutMs)
{
    QStringList commands;
    if (WaitForLine(m_process, timeoutMs))
        for (const QJsonValue &line : QJsonDocument::fromJson(m_process.readLine()).array())
            commands.append(line.toString());
    return commands;
}
