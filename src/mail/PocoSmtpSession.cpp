// The SMTP session over Poco Net/NetSSL. Poco's own SMTP client conveniences
// are not used where they fall short:
// - its AUTH LOGIN answers only prompts that read "Username"/"Password", so
//   the exchange is done here (RFC 4954: the prompts' text is free);
// - it sends no RSET after a refused MAIL, RCPT or DATA, so every later send
//   on the session would fail with 503: a refusal is followed by RSET here;
// - its STARTTLS gives the TLS layer no host name (no SNI), so STARTTLS is
//   done here too;
// - its message stream dot-stuffs one character at a time and hands the
//   socket 1 kB pieces, the last of which waits for the server's delayed ACK:
//   the data is stuffed into one buffer here and written at once.
// What it does well is kept: the reply parsing.
#include "SmtpSession.h"

#include <Poco/Base64Encoder.h>
#include <Poco/Net/Context.h>
#include <Poco/Net/NetException.h>
#include <Poco/Net/NetSSL.h>
#include <Poco/Net/SMTPClientSession.h>
#include <Poco/Net/SSLException.h>
#include <Poco/Net/SecureStreamSocket.h>
#include <Poco/Net/SocketAddress.h>
#include <Poco/Net/StreamSocket.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <mutex>
#include <sstream>

using namespace Qt::StringLiterals;

namespace {

void InitializeOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Poco::Net::initializeSSL();
        // A server that drops the connection must give an error, not end the
        // program: writes to a closed socket (OpenSSL's among them) raise SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
    });
}

std::string Base64(const QString &text)
{
    std::ostringstream out;
    Poco::Base64Encoder encoder(out);
    encoder.rdbuf()->setLineLength(0);
    encoder << text.toStdString();
    encoder.close();
    return out.str();
}

QString ReplyText(const std::string &reply)
{
    return QString::fromStdString(reply).replace(u'\n', u' ').trimmed();
}

bool IsPositive(int status)
{
    return status / 100 == 2;
}

// Replies about the session rather than this message: the server is closing
// the channel (421), or wants authentication or STARTTLS first (530). Every
// later message would get the same.
bool IsSessionReply(int status)
{
    return status == 421 || status == 530;
}

// One context for every connection: set-up costs more than a handshake, and
// OpenSSL lets many connections and threads share a context once it is made.
// The negotiating method: the highest TLS version both sides know, but none
// below 1.2 (RFC 8996). The server certificate is not verified, as the
// program always did.
Poco::Net::Context::Ptr TlsContext()
{
    static const Poco::Net::Context::Ptr context = [] {
        Poco::Net::Context::Ptr c =
            new Poco::Net::Context(Poco::Net::Context::TLS_CLIENT_USE, "", Poco::Net::Context::VERIFY_NONE, 9, false,
                                   "ALL:!ADH:!LOW:!EXP:!MD5:@STRENGTH");
        c->requireMinimumProtocol(Poco::Net::Context::PROTO_TLSV1_2);
        // Without Poco's verify callback: nothing is checked, but it copies
        // the server's certificate for an error event nobody listens to.
        SSL_CTX_set_verify(c->sslContext(), SSL_VERIFY_NONE, nullptr);
        return c;
    }();
    return context;
}

// A handshake that failed because the server knows no version from TLS 1.2
// up: OpenSSL refuses the older version the server chose, or the server
// answers that it does not know ours.
bool IsVersionFailure(const std::string &text)
{
    for (const int reason : {SSL_R_UNSUPPORTED_PROTOCOL, SSL_R_TLSV1_ALERT_PROTOCOL_VERSION}) {
        const char *name = ERR_reason_error_string(ERR_PACK(ERR_LIB_SSL, 0, reason));
        if (name && text.find(name) != std::string::npos)
            return true;
    }
    return false;
}

Poco::Net::SecureStreamSocket SecureSocket(const Poco::Net::StreamSocket &socket, const std::string &host)
{
    try {
        return Poco::Net::SecureStreamSocket::attach(socket, host, TlsContext());
    } catch (const Poco::Net::SSLException &e) {
        if (IsVersionFailure(e.message()))
            throw SmtpError(SmtpError::ConnectionLost,
                            u"The server offers no TLS version from TLS 1.2 up; the older versions are no longer "
                            "safe (RFC 8996) and are not used. %1"_s.arg(QString::fromStdString(e.displayText())));
        throw;
    }
}

// The message data as it goes on the wire (RFC 5321): every line ends in
// CR LF, a bare CR or LF too (2.3.8; a server that ends lines at LF alone
// could otherwise see the data end early), a line that starts with "." gets
// another one (4.5.2), and the data ends with CR LF "." CR LF.
QByteArray WireData(const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size() + data.size() / 64 + 8);
    const char *next = data.constBegin();
    const char *const end = data.constEnd();
    bool lineStart = true;
    while (next < end) {
        if (lineStart && *next == '.')
            out += '.';
        const char *stop = next;
        while (stop < end && *stop != '\r' && *stop != '\n')
            ++stop;
        out.append(next, stop - next);
        lineStart = stop < end;
        if (lineStart) {
            out += "\r\n";
            stop += *stop == '\r' && stop + 1 < end && stop[1] == '\n' ? 2 : 1;
        }
        next = stop;
    }
    if (!lineStart)
        out += "\r\n";
    out += ".\r\n";
    return out;
}

/** Poco's client with its socket within reach, for STARTTLS with a host name. */
class Client : public Poco::Net::SMTPClientSession {
public:
    using SMTPClientSession::SMTPClientSession;
    using SMTPClientSession::socket;
};

class PocoSmtpSession final : public SmtpSession {
public:
    explicit PocoSmtpSession(const SmtpOptions &options)
        : m_options(options)
    {
        InitializeOnce();
    }

    ~PocoSmtpSession() override { Disconnect(); }

    void Connect() override
    {
        Guarded([&] {
            const std::string host = m_options.Host.toStdString();
            const Poco::Net::SocketAddress address(host, m_options.Port);
            Poco::Net::StreamSocket socket;
            socket.connect(address, Milliseconds(m_options.ConnectTimeoutMs));
            socket.setReceiveTimeout(Milliseconds(m_options.ReadTimeoutMs));
            socket.setSendTimeout(Milliseconds(m_options.ReadTimeoutMs));
            // Every write is a whole command or a whole message: nothing to
            // gain from holding the last piece back for the server's ACK.
            socket.setNoDelay(true);
            if (m_options.UseTLS == SmtpTls::Implicit)
                socket = SecureSocket(socket, host);
            m_client = std::make_unique<Client>(socket);
            m_client->login(); // greeting, EHLO (HELO when EHLO is refused)
            if (m_options.UseTLS == SmtpTls::StartTls) {
                std::string reply;
                if (!IsPositive(Command("STARTTLS", reply)))
                    throw SmtpError(SmtpError::Refused,
                                    u"The server does not offer STARTTLS (%1); the connection is not encrypted."_s.arg(
                                        ReplyText(reply)));
                m_client->socket() = SecureSocket(m_client->socket(), host);
                m_client->login(); // EHLO again: RFC 3207 4.2, the server forgets what it was told
            }
        });
    }

    void Authenticate() override
    {
        if (m_options.AuthType == SmtpAuth::None)
            return;
        Guarded([&] {
            std::string reply;
            int status = Command("AUTH LOGIN", reply);
            if (status == 334)
                status = Command(Base64(m_options.Username), reply);
            if (status == 334)
                status = Command(Base64(m_options.Password), reply);
            if (!IsPositive(status))
                throw SmtpError(SmtpError::Refused, ReplyText(reply));
        });
    }

    void Send(const QString &from, const QStringList &recipients, const QByteArray &data) override
    {
        Guarded([&] {
            std::string reply;
            int status = Command("MAIL FROM:<" + from.toStdString() + '>', reply);
            if (!IsPositive(status))
                Refuse(status, reply, u"Cannot send message: "_s + ReplyText(reply));
            for (const QString &recipient : recipients) {
                const std::string angled = '<' + recipient.toStdString() + '>';
                status = Command("RCPT TO:" + angled, reply);
                if (!IsPositive(status))
                    Refuse(status, reply,
                           u"Recipient rejected: %1: %2"_s.arg(QString::fromStdString(angled), ReplyText(reply)));
            }
            status = Command("DATA", reply);
            if (status != 354)
                Refuse(status, reply, u"Cannot send message data: "_s + ReplyText(reply));
            SendAll(WireData(data));
            status = m_client->socket().receiveStatusMessage(reply);
            if (status == 0)
                throw ConnectionClosed();
            if (!IsPositive(status))
                Refuse(status, reply, u"The server rejected the message: "_s + ReplyText(reply));
        });
    }

    void Disconnect() noexcept override
    {
        if (!m_client)
            return;
        try {
            m_client->close(); // QUIT, when the greeting came
        } catch (...) {
            // The sends are over: a server that hangs up first changes nothing.
        }
        m_client.reset();
    }

private:
    static Poco::Timespan Milliseconds(int ms)
    {
        return Poco::Timespan(static_cast<Poco::Timespan::TimeDiff>(ms) * 1000);
    }

    static SmtpError ConnectionClosed()
    {
        return SmtpError(SmtpError::ConnectionLost, u"Connection closed by the server."_s);
    }

    // A command and its reply; no reply at all means the connection is gone.
    int Command(const std::string &command, std::string &reply)
    {
        const int status = m_client->sendCommand(command, reply);
        if (status == 0)
            throw ConnectionClosed();
        return status;
    }

    // Writes all of the bytes, however few the socket takes at a time.
    void SendAll(const QByteArray &bytes)
    {
        const char *next = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const int sent = m_client->socket().sendBytes(next, static_cast<int>(std::min<qsizetype>(left, INT_MAX)));
            if (sent <= 0)
                throw ConnectionClosed();
            next += sent;
            left -= sent;
        }
    }

    // A refusal of this message (text for the user) is followed by RSET, so
    // the next send starts afresh. A refusal of the session, or a server that
    // no longer answers the RSET because it hung up after its reply, ends the
    // session instead: every later message would fail the same way.
    [[noreturn]] void Refuse(int status, const std::string &reply, const QString &text)
    {
        if (IsSessionReply(status))
            throw SmtpError(SmtpError::SessionRefused,
                            u"The server refuses mail on this connection: "_s + ReplyText(reply));
        std::string rsetReply;
        int rset = 0;
        try {
            rset = m_client->sendCommand("RSET", rsetReply);
        } catch (const Poco::Exception &) {
            // No answer: below.
        }
        if (rset == 0)
            throw SmtpError(SmtpError::SessionRefused,
                            u"The server ended the session after its reply: "_s + ReplyText(reply));
        if (IsSessionReply(rset))
            throw SmtpError(SmtpError::SessionRefused,
                            u"The server refuses mail on this connection: "_s + ReplyText(rsetReply));
        throw SmtpError(SmtpError::Refused, text);
    }

    template <typename F> static void Guarded(F &&body)
    {
        try {
            body();
        } catch (const SmtpError &) {
            throw;
        } catch (const Poco::Exception &e) {
            throw SmtpError(SmtpError::ConnectionLost, QString::fromStdString(e.displayText()));
        } catch (const std::exception &e) {
            throw SmtpError(SmtpError::ConnectionLost, QString::fromUtf8(e.what()));
        }
    }

    SmtpOptions m_options;
    std::unique_ptr<Client> m_client;
};

} // namespace

std::unique_ptr<SmtpSession> CreateSmtpSession(const SmtpOptions &options)
{
    return std::make_unique<PocoSmtpSession>(options);
}
