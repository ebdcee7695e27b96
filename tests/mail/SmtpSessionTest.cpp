// The session over the network library against the real test server on loopback.
#include "SmtpSession.h"

#include "TestSmtpServer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <mutex>
#include <utility>

#include <dlfcn.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using namespace Qt::StringLiterals;

namespace {

// What the program writes to its sockets, one entry per write, and whether it
// turned TCP_NODELAY on: the network library's calls pass through the two
// functions below on their way to the C library.
std::mutex g_wireMutex;
QList<QByteArray> g_writes;
bool g_noDelay = false;

template <typename F> F Next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t send(int fd, const void *buffer, size_t length, int flags)
{
    static const auto next = Next<ssize_t (*)(int, const void *, size_t, int)>("send");
    const ssize_t sent = next(fd, buffer, length, flags);
    if (sent > 0) {
        const std::lock_guard lock(g_wireMutex);
        g_writes.append(QByteArray(static_cast<const char *>(buffer), sent));
    }
    return sent;
}

extern "C" int setsockopt(int fd, int level, int name, const void *value, socklen_t length)
{
    static const auto next = Next<int (*)(int, int, int, const void *, socklen_t)>("setsockopt");
    if (level == IPPROTO_TCP && name == TCP_NODELAY && length == sizeof(int)) {
        const std::lock_guard lock(g_wireMutex);
        g_noDelay = *static_cast<const int *>(value) != 0;
    }
    return next(fd, level, name, value, length);
}

namespace {

SmtpOptions Options(quint16 port, SmtpTls tls = SmtpTls::None)
{
    SmtpOptions o;
    o.Host = TestSmtpServer::Host();
    o.Port = port;
    o.ConnectTimeoutMs = 2000;
    o.ReadTimeoutMs = 2000;
    o.UseTLS = tls;
    return o;
}

SmtpOptions WithLogin(SmtpOptions o, const QString &user = u"user"_s, const QString &password = u"secret"_s)
{
    o.AuthType = SmtpAuth::Login;
    o.Username = user;
    o.Password = password;
    return o;
}

QByteArray Mail(const QByteArray &subject, const QByteArray &body)
{
    return "From: a@example.org\r\nTo: b@example.org\r\nSubject: " + subject + "\r\n\r\n" + body;
}

} // namespace

// Each mode really ends up encrypted or not, as the server saw it, and
// authentication and sending work over it.
TEST(SmtpSessionTest, TlsModesNegotiateAsAsked)
{
    TestSmtpServer server;
    struct Case {
        quint16 port;
        SmtpTls tls;
        bool encrypted;
    };
    const Case cases[] = {{server.PlainPort(), SmtpTls::None, false},
                          {server.StartTlsPort(), SmtpTls::StartTls, true},
                          {server.TlsPort(), SmtpTls::Implicit, true}};
    for (const Case &c : cases) {
        auto session = CreateSmtpSession(WithLogin(Options(c.port, c.tls)));
        session->Connect();
        session->Authenticate();
        session->Send(u"a@example.org"_s, {u"b@example.org"_s}, Mail("tls", "hello\r\n"));
        session->Disconnect();
    }
    ASSERT_TRUE(server.WaitForSessions(3));
    const QList<RecordedSession> sessions = server.Sessions();
    ASSERT_EQ(sessions.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(sessions[i].Listener.toStdString());
        EXPECT_EQ(sessions[i].Tls, cases[i].encrypted);
        EXPECT_EQ(sessions[i].AuthUser, u"user"_s);
        EXPECT_EQ(sessions[i].Messages, 1);
        EXPECT_EQ(sessions[i].Commands.last(), u"QUIT"_s);
        if (cases[i].encrypted) { // the negotiating method: never the old versions
            EXPECT_TRUE(sessions[i].TlsVersion == u"TLSv1.3"_s || sessions[i].TlsVersion == u"TLSv1.2"_s);
        }
    }
    // RFC 3207: EHLO again after STARTTLS.
    EXPECT_EQ(sessions[1].Commands.mid(0, 3), (QStringList{u"EHLO"_s, u"STARTTLS"_s, u"EHLO"_s}));
}

// With STARTTLS asked for, a server that does not offer it is a connection
// error: nothing goes out unencrypted, not even the login.
TEST(SmtpSessionTest, StartTlsMissingNeverFallsBackToPlain)
{
    TestSmtpServer server;
    auto session = CreateSmtpSession(WithLogin(Options(server.PlainPort(), SmtpTls::StartTls)));
    try {
        session->Connect();
        FAIL() << "connected without TLS";
    } catch (const SmtpError &e) {
        EXPECT_TRUE(e.Message().contains(u"STARTTLS"_s)) << e.what();
    }
    session->Disconnect();
    ASSERT_TRUE(server.WaitForSessions(1));
    const QStringList commands = server.Sessions().first().Commands;
    EXPECT_FALSE(commands.contains(u"AUTH"_s));
    EXPECT_FALSE(commands.contains(u"MAIL"_s));
}

TEST(SmtpSessionTest, WrongPasswordIsARefusalWithTheServersText)
{
    TestSmtpServer server;
    auto session = CreateSmtpSession(WithLogin(Options(server.PlainPort()), u"user"_s, u"wrong"_s));
    session->Connect();
    try {
        session->Authenticate();
        FAIL() << "accepted a wrong password";
    } catch (const SmtpError &e) {
        EXPECT_EQ(e.ErrorKind(), SmtpError::Refused);
        EXPECT_TRUE(e.Message().startsWith(u"535"_s)) << e.what();
    }
}

// A refused recipient resets the transaction, so the next message on the
// same connection goes through (without RSET the server answers 503).
TEST(SmtpSessionTest, RefusedRecipientLeavesTheSessionUsable)
{
    TestSmtpServerOptions options;
    options.RefuseRecipients = {u"nobody@example.org"_s};
    TestSmtpServer server(options);
    auto session = CreateSmtpSession(Options(server.PlainPort()));
    session->Connect();
    try {
        session->Send(u"a@example.org"_s, {u"b@example.org"_s, u"nobody@example.org"_s}, Mail("one", "x\r\n"));
        FAIL() << "refused recipient accepted";
    } catch (const SmtpError &e) {
        EXPECT_EQ(e.ErrorKind(), SmtpError::Refused);
        EXPECT_TRUE(e.Message().contains(u"<nobody@example.org>"_s)) << e.what();
        EXPECT_TRUE(e.Message().contains(u"550"_s)) << e.what();
    }
    session->Send(u"a@example.org"_s, {u"b@example.org"_s}, Mail("two", "y\r\n"));
    session->Disconnect();

    ASSERT_TRUE(server.WaitForSessions(1));
    const QList<RecordedMessage> messages = server.Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Header(u"Subject"_s), u"two"_s);
    EXPECT_TRUE(server.Sessions().first().Commands.contains(u"RSET"_s));
}

// What the server gets (RFC 5321): a line that starts with a dot has it
// doubled on the wire, bare CR and LF go out as CR LF (so no server can take
// "\n.\r\n" for the end of the data), and a last line without an end gets
// one before the end mark. The data and its end mark are one write on a
// socket without Nagle's delay: no piece of it waits for the server's ACK.
TEST(SmtpSessionTest, DataArrivesWithItsDotsAndCrLfLineEndsInOneWrite)
{
    TestSmtpServer server;
    auto session = CreateSmtpSession(Options(server.PlainPort()));
    session->Connect();
    const QByteArray body = ".hidden\r\n..two dots\r\n.\r\nlast\r\n";
    const QByteArray lines = (QByteArray(70, 'x') + "\r\n").repeated(40); // longer than a piece of a stream buffer
    session->Send(u"a@example.org"_s, {u"b@example.org"_s}, Mail("dots", body));
    session->Send(u"a@example.org"_s, {u"b@example.org"_s}, ".first\r\nbare\nfeed\rreturn\n.\r\n" + lines + "no end");
    session->Disconnect();
    ASSERT_TRUE(server.WaitForMessages(2));
    const QList<RecordedMessage> messages = server.Messages();
    EXPECT_EQ(messages[0].Data, Mail("dots", body));
    EXPECT_EQ(messages[1].Data, ".first\r\nbare\r\nfeed\r\nreturn\r\n.\r\n" + lines + "no end\r\n");

    const std::lock_guard lock(g_wireMutex);
    EXPECT_TRUE(g_noDelay);
    EXPECT_TRUE(g_writes.contains("..first\r\nbare\r\nfeed\r\nreturn\r\n..\r\n" + lines + "no end\r\n.\r\n"));
}

// A refusal after which the server hung up says that no later message can go
// out either: it ends the session like a 530 or 421 (those are pinned end to
// end, on the main window), not just this message.
TEST(SmtpSessionTest, ARefusalFollowedByAHangUpEndsTheSession)
{
    TestSmtpServerOptions options;
    options.HangUpRecipients = {{u"gone@example.org"_s, u"554 5.7.1 Go away"_s}};
    TestSmtpServer server(options);
    auto session = CreateSmtpSession(Options(server.PlainPort()));
    session->Connect();
    try {
        session->Send(u"a@example.org"_s, {u"gone@example.org"_s}, Mail("x", "y\r\n"));
        ADD_FAILURE() << "sent";
    } catch (const SmtpError &e) {
        EXPECT_EQ(e.ErrorKind(), SmtpError::SessionRefused) << e.what();
        EXPECT_TRUE(e.Message().contains(u"554 5.7.1 Go away"_s)) << e.what();
    }
    session->Disconnect();
}

// The server hangs up after the first message: the next send is a lost
// connection, not a refusal, and disconnecting afterwards does not throw.
TEST(SmtpSessionTest, LostConnectionIsNotARefusal)
{
    TestSmtpServerOptions options;
    options.DropAfter = 1;
    TestSmtpServer server(options);
    for (const auto &[port, tls] :
         {std::pair{server.PlainPort(), SmtpTls::None}, {server.TlsPort(), SmtpTls::Implicit}}) {
        auto session = CreateSmtpSession(Options(port, tls));
        session->Connect();
        session->Send(u"a@example.org"_s, {u"b@example.org"_s}, Mail("one", "x\r\n"));
        try {
            session->Send(u"a@example.org"_s, {u"b@example.org"_s}, Mail("two", "y\r\n"));
            FAIL() << "sent over a closed connection";
        } catch (const SmtpError &e) {
            EXPECT_EQ(e.ErrorKind(), SmtpError::ConnectionLost) << e.what();
            EXPECT_FALSE(e.Message().isEmpty());
        }
        session->Disconnect();
    }
}

TEST(SmtpSessionTest, NothingListeningFailsToConnect)
{
    auto session = CreateSmtpSession(Options(TestSmtpServer::UnusedPort()));
    try {
        session->Connect();
        FAIL() << "connected to nothing";
    } catch (const SmtpError &e) {
        EXPECT_EQ(e.ErrorKind(), SmtpError::ConnectionLost);
        EXPECT_TRUE(e.Message().contains(u"refused"_s, Qt::CaseInsensitive)) << e.what();
    }
}

// A server that takes the connection and never greets: the read time-out
// ends the wait, also when TLS is to be set up first.
TEST(SmtpSessionTest, SilentServerTimesOut)
{
    TestSmtpServer server;
    // Silent before the handshake, and silent inside an established TLS session.
    const std::pair<quint16, SmtpTls> cases[] = {{server.SilentPort(), SmtpTls::None},
                                                 {server.SilentPort(), SmtpTls::Implicit},
                                                 {server.SilentTlsPort(), SmtpTls::Implicit}};
    for (const auto &[port, tls] : cases) {
        SmtpOptions o = Options(port, tls);
        o.ReadTimeoutMs = 300;
        auto session = CreateSmtpSession(o);
        QElapsedTimer timer;
        timer.start();
        EXPECT_THROW(session->Connect(), SmtpError);
        EXPECT_GE(timer.elapsed(), 250);
        EXPECT_LT(timer.elapsed(), 5000);
    }
}

// A server that speaks only TLS 1.0 and 1.1 (retired by RFC 8996) is a
// connection error that says why, before the login goes over it.
TEST(SmtpSessionTest, TlsOlderThanOnePointTwoIsAConnectionError)
{
    TestSmtpServerOptions options;
    options.LegacyTls = true;
    TestSmtpServer server(options);
    for (const auto &[port, tls] :
         {std::pair{server.StartTlsPort(), SmtpTls::StartTls}, {server.TlsPort(), SmtpTls::Implicit}}) {
        auto session = CreateSmtpSession(WithLogin(Options(port, tls)));
        try {
            session->Connect();
            session->Authenticate();
            ADD_FAILURE() << "logged in over old TLS";
        } catch (const SmtpError &e) {
            EXPECT_EQ(e.ErrorKind(), SmtpError::ConnectionLost);
            EXPECT_TRUE(e.Message().contains(u"TLS 1.2"_s)) << e.what();
        }
        session->Disconnect();
    }
    ASSERT_TRUE(server.WaitForSessions(1));
    for (const RecordedSession &s : server.Sessions()) {
        EXPECT_TRUE(s.AuthUser.isEmpty());
        EXPECT_FALSE(s.Commands.contains(u"AUTH"_s));
    }
}
