#pragma once

#include "SmtpError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

// The seam between the sending threads and the network library: the threads
// talk to SmtpSession only; the one implementation over Poco lives in
// PocoSmtpSession.cpp.

/** Authentication of a session. */
enum class SmtpAuth : std::uint8_t {
    None,
    Login, // AUTH LOGIN with user name and password
};

/** Encryption of a session. */
enum class SmtpTls : std::uint8_t {
    None,
    StartTls, // plain greeting, then STARTTLS; a server without it is an error
    Implicit, // TLS from the first byte
};

/** @short Everything needed to open one SMTP connection. */
struct SmtpOptions {
    QString Host;
    quint16 Port = 25;
    int ConnectTimeoutMs = 30000;
    int ReadTimeoutMs = 30000;
    SmtpAuth AuthType = SmtpAuth::None;
    QString Username;
    QString Password;
    SmtpTls UseTLS = SmtpTls::None;

    bool operator==(const SmtpOptions &) const = default;
};

/**
 * @short One SMTP connection, used by one thread at a time.
 *
 * Every operation throws SmtpError on failure. Each reply must come whole
 * within the read time-out, well-formed, and answer the command just sent:
 * anything else leaves the dialogue out of step and throws
 * SmtpError::ConnectionLost, which ends the session.
 */
class SmtpSession {
public:
    virtual ~SmtpSession() = default;

    /** Connects within the connect time-out, reads the greeting, says EHLO and sets up TLS as asked. */
    virtual void Connect() = 0;
    /** Authenticates as the options say; a refusal throws SmtpError::Refused. */
    virtual void Authenticate() = 0;
    /**
     * Sends one message (bytes with CR LF line ends; any bare CR or LF goes
     * out as CR LF, and dot-stuffing is done here). A refusal of this message throws SmtpError::Refused after
     * resetting the transaction, so the next send starts afresh. A reply that
     * concerns the session rather than the message (421, 530, or any reply
     * after which the server hung up) throws SmtpError::SessionRefused:
     * nothing more can be sent on this session.
     */
    virtual void Send(const QString &from, const QStringList &recipients, const QByteArray &data) = 0;
    /**
     * Says QUIT, once and only while the dialogue is in step, and closes;
     * never throws (the sends are over, nothing depends on it).
     */
    virtual void Disconnect() noexcept = 0;
    /**
     * Closes at once, without QUIT: the session failed, and a server that
     * failed it need not answer, so nothing waits on it.
     */
    virtual void Abort() noexcept = 0;
};

using SmtpSessionFactory = std::function<std::unique_ptr<SmtpSession>(const SmtpOptions &)>;

/** A session over the network library. */
std::unique_ptr<SmtpSession> CreateSmtpSession(const SmtpOptions &options);
