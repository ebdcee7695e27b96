#pragma once

#include "PythonServer.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// Runs tests/support/scripted_smtp_server.py (see the description at its top):
// one connection on 127.0.0.1 whose every byte the test decides.

/** One step of the server's part. */
struct ServerStep {
    QString Action; ///< one of the script's actions: "send", "line", "tls", …
    QByteArray Bytes;
    double Seconds = 0;

    static ServerStep Send(const QByteArray &bytes) { return {QStringLiteral("send"), bytes}; }
    static ServerStep Drip(const QByteArray &bytes, double seconds) { return {QStringLiteral("drip"), bytes, seconds}; }
    static ServerStep Repeat(const QByteArray &bytes, double seconds)
    {
        return {QStringLiteral("repeat"), bytes, seconds};
    }
    static ServerStep Line() { return {QStringLiteral("line"), {}}; }
    static ServerStep Data() { return {QStringLiteral("data"), {}}; }
    /** The message data, at most bytes at a time, the seconds apart. */
    static ServerStep SlowData(qint64 bytes, double seconds)
    {
        return {QStringLiteral("slowdata"), QByteArray::number(bytes), seconds};
    }
    static ServerStep Take(qint64 bytes) { return {QStringLiteral("take"), QByteArray::number(bytes)}; }
    /** Before any other step: the server's receive buffer. */
    static ServerStep Buffer(qint64 bytes) { return {QStringLiteral("buffer"), QByteArray::number(bytes)}; }
    /** Before any other step: the server listens for multipath TCP. */
    static ServerStep Multipath() { return {QStringLiteral("multipath"), {}}; }
    static ServerStep Recv() { return {QStringLiteral("recv"), {}}; }
    /** Waits until the client's bytes are in the socket, reading none: a close then resets the connection. */
    static ServerStep Await() { return {QStringLiteral("await"), {}}; }
    /** Writes the bytes and the end of the server's sending side in one segment, then waits for its ACK. */
    static ServerStep Fin(const QByteArray &bytes) { return {QStringLiteral("fin"), bytes}; }
    /** Notes the time, for Marks(). */
    static ServerStep Mark() { return {QStringLiteral("mark"), {}}; }
    static ServerStep Stall(double seconds) { return {QStringLiteral("stall"), {}, seconds}; }
    static ServerStep Tls() { return {QStringLiteral("tls"), {}}; }
    static ServerStep Close() { return {QStringLiteral("close"), {}}; }
};

/**
 * @short A scripted SMTP server for one connection: plays its steps, then
 * reads on until the client closes.
 *
 * The constructor throws std::runtime_error when the server does not come up.
 */
class ScriptedSmtpServer {
public:
    explicit ScriptedSmtpServer(const QList<ServerStep> &script);
    ScriptedSmtpServer(const ScriptedSmtpServer &) = delete;
    ScriptedSmtpServer &operator=(const ScriptedSmtpServer &) = delete;

    quint16 Port() const { return m_port; }
    /** The command lines the client sent, once it has closed; waits for that. */
    QStringList Commands();
    /**
     * Since when the server had done nothing the client must answer at the
     * given time (its last send, fin or close before it, or its last stall
     * after reads, from the first of them); none without such an act before
     * it. Once the client has closed; waits for that.
     */
    std::optional<std::chrono::steady_clock::time_point> QuietSince(std::chrono::steady_clock::time_point at);
    /** When the server came to each Mark step, once the client has closed. */
    QList<std::chrono::steady_clock::time_point> Marks();
    /** On multipath TCP, the paths the connection had besides its first, once the client has closed. */
    int Subflows() { return End()[QStringLiteral("subflows")].toInt(); }

private:
    /** What the server printed last, once the client has closed; a failure that says so when a hang keeps it. */
    const QJsonObject &End();

    PythonServer m_server;
    quint16 m_port = 0;
    std::optional<QJsonObject> m_end;
};
