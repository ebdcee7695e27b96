#include "ScriptedSmtpServer.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace {

QString ScriptJson(const QList<ServerStep> &script)
{
    QJsonArray steps;
    for (const ServerStep &step : script)
        steps.append(QJsonArray{step.Action, QString::fromLatin1(step.Bytes.toBase64()), step.Seconds});
    return QString::fromUtf8(QJsonDocument(steps).toJson(QJsonDocument::Compact));
}

} // namespace

ScriptedSmtpServer::ScriptedSmtpServer(const QList<ServerStep> &script)
    : m_server({QStringLiteral(VC_SCRIPTED_SMTP_SERVER), ScriptJson(script)})
    , m_port(static_cast<quint16>(m_server.FirstLine().toUInt()))
{
}

QStringList ScriptedSmtpServer::Commands(int timeoutMs)
{
    QStringList commands;
    for (const QJsonValue &line : QJsonDocument::fromJson(m_server.NextLine(timeoutMs)).array())
        commands.append(line.toString());
    return commands;
}
