#pragma once

#include "HangGuard.h"
#include "PythonServer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <utility>

#include <gtest/gtest.h>

// Runs tests/support/smtp_test_server.py (see the description at its top) for
// the life of the object and reads back what it recorded. Everything stays on
// 127.0.0.1.

/** How the test server behaves; the defaults give a server that accepts everything. */
struct TestSmtpServerOptions {
    QString User = QStringLiteral("user");
    QString Password = QStringLiteral("secret");
    bool RefuseAuth = false;      ///< every AUTH fails with 535
    bool RequireAuth = false;     ///< MAIL before AUTH gets 530
    QStringList RefuseRecipients; ///< RCPT TO these gets 550
    int DropAfter = 0;            ///< close the connection after the Nth message of a session (0: never)
    /** RCPT TO such an address gets that reply, then the connection is closed. */
    QList<std::pair<QString, QString>> HangUpRecipients;
    bool RequireStartTls = false; ///< the STARTTLS listener answers 530 to MAIL and the like before STARTTLS
    bool LegacyTls = false;       ///< the TLS listeners speak only TLS 1.0 and 1.1 (RSA key exchange)
};

/** One header line of a recorded message. */
struct RecordedHeader {
    QString Name;
    QString Raw;     ///< as it stood in the message (folding removed)
    QString Decoded; ///< RFC 2047 encoded words decoded
};

/** One leaf MIME part of a recorded message (the whole body when it is not multipart). */
struct RecordedPart {
    QString ContentType; ///< lower case, e.g. "text/plain"
    QString Charset;     ///< lower case, empty when the part names none
    QString FileName;
    QString TransferEncoding; ///< the Content-Transfer-Encoding header, empty when missing
    QByteArray Payload;       ///< the content with its transfer encoding undone
    QString Text;             ///< Payload decoded with Charset (us-ascii when none); empty unless text/*
};

/** What the server learnt of one connection, written when it closed. */
struct RecordedSession {
    int Session = 0;
    QString Listener; ///< "plain", "starttls" or "tls"
    bool Tls = false;
    QString TlsVersion;   ///< e.g. "TLSv1.3"; empty without TLS
    QString AuthUser;     ///< empty when nobody logged in
    QStringList Commands; ///< SMTP verbs in the order received
    int Messages = 0;
};

/** One message the server accepted. */
struct RecordedMessage {
    int Index = 0;
    int Session = 0;
    QString Listener;
    bool Tls = false;
    QString TlsVersion;
    QString AuthUser;
    QString MailFrom;
    QStringList RcptTos;
    QByteArray Data; ///< the message as received (dot-stuffing undone)
    QList<RecordedHeader> Headers;
    QList<RecordedPart> Parts;

    /** The decoded value of the first header of that name (case-insensitive); empty when missing. */
    QString Header(const QString &name) const;
    /** The raw value of the first header of that name; empty when missing. */
    QString RawHeader(const QString &name) const;
    bool HasHeader(const QString &name) const;
    /** The header block: Data up to the first empty line. */
    QByteArray HeaderBlock() const;
};

/**
 * @short The tests' SMTP peer: starts the Python test server, knows its ports,
 * reads its records and stops it when destroyed.
 *
 * The constructor throws std::runtime_error when the server does not come up.
 */
class TestSmtpServer {
public:
    explicit TestSmtpServer(const TestSmtpServerOptions &options = {});
    TestSmtpServer(const TestSmtpServer &) = delete;
    TestSmtpServer &operator=(const TestSmtpServer &) = delete;

    quint16 PlainPort() const { return m_plainPort; }
    quint16 StartTlsPort() const { return m_startTlsPort; }
    quint16 TlsPort() const { return m_tlsPort; }
    /** Accepts connections and never greets. */
    quint16 SilentPort() const { return m_silentPort; }
    /** Completes the TLS handshake (TLS from the first byte), then never greets. */
    quint16 SilentTlsPort() const { return m_silentTlsPort; }
    /** A loopback port on which nothing listens (bound and released again). */
    static quint16 UnusedPort();
    static QString Host() { return QStringLiteral("127.0.0.1"); }

    QString RecordDir() const { return m_records.path(); }
    /** Every accepted message so far, in the order accepted. */
    QList<RecordedMessage> Messages() const;
    /** Every connection that has closed so far, in the order opened. */
    QList<RecordedSession> Sessions() const;
    /** Waits until at least count messages are recorded; a failure that says how many came after HangGuardMs. */
    testing::AssertionResult WaitForMessages(int count) const;
    /** Waits until at least count connections have closed; a failure that says how many did after HangGuardMs. */
    testing::AssertionResult WaitForSessions(int count) const;

private:
    QTemporaryDir m_records;
    std::unique_ptr<PythonServer> m_server;
    quint16 m_plainPort = 0;
    quint16 m_startTlsPort = 0;
    quint16 m_tlsPort = 0;
    quint16 m_silentPort = 0;
    quint16 m_silentTlsPort = 0;
};
