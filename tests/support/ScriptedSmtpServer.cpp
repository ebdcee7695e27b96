#include "ScriptedSmtpServer.h"

#include "HangGuard.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString ScriptJson(const QList<ServerStep> &script)
{
    QJsonArray steps;
    for (const ServerStep &step : script)
        steps.append(QJsonArray{step.Action, QString::fromLatin1(step.Bytes.toBase64()), step.Seconds});
    return QString::fromUtf8(QJsonDocument(steps).toJson(QJsonDocument::Compact));
}

// Python's monotonic clock is the one steady_clock reads (CLOCK_MONOTONIC).
std::chrono::steady_clock::time_point Monotonic(double seconds)
{
    using namespace std::chrono;
    return steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double>(seconds)));
}

} // namespace

ScriptedSmtpServer::ScriptedSmtpServer(const QList<ServerStep> &script)
    : m_server({QStringLiteral(VC_SCRIPTED_SMTP_SERVER), ScriptJson(script)})
    , m_port(static_cast<quint16>(m_server.FirstLine().toUInt()))
{
}

QStringList ScriptedSmtpServer::Commands()
{
    QStringList commands;
    for (const QJsonValue &line : End()[u"commands"_s].toArray())
        commands.append(line.toString());
    return commands;
}

std::optional<std::chrono::steady_clock::time_point>
ScriptedSmtpServer::QuietSince(std::chrono::steady_clock::time_point at)
{
    // Each act is stamped before it is done: one stamped after the given time came after it.
    std::optional<std::chrono::steady_clock::time_point> since;
    for (const QJsonValue &act : End()[u"quiet"_s].toArray())
        if (const auto stamp = Monotonic(act.toDouble()); stamp <= at)
            since = stamp;
    return since;
}

QList<std::chrono::steady_clock::time_point> ScriptedSmtpServer::Marks()
{
    QList<std::chrono::steady_clock::time_point> marks;
    for (const QJsonValue &mark : End()[u"marks"_s].toArray())
        marks.append(Monotonic(mark.toDouble()));
    return marks;
}

const QJsonObject &ScriptedSmtpServer::End()
{
    if (!m_end) {
        const QByteArray line = m_server.NextLine(HangGuardMs);
        if (line.isEmpty())
            ADD_FAILURE() << "Hung: the scripted server told nothing of what it saw within " << HangGuardMs / 1000
                          << " s (it tells once the client has closed); it wrote: "
                          << m_server.StandardError().toStdString();
        m_end = QJsonDocument::fromJson(line).object();
    }
    return *m_end;
}
