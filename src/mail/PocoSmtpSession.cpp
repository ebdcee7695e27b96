// The SMTP session over Poco Net/NetSSL. Poco connects and does TLS; the
// dialogue is our own (PocoSmtpChannel), as Poco's SMTP client falls short:
// - its reply reading loops for ever on a connection closed in the middle of
//   a reply, and its time-out bounds each read rather than the whole reply;
// - it takes a stray line the server sent unasked for the next reply;
// - its AUTH LOGIN answers only prompts that read "Username"/"Password" (RFC
//   4954: the prompts' text is free);
// - it sends no RSET after a refused MAIL, RCPT or DATA, so every later send
//   on the session would fail with 503;
// - its STARTTLS gives the TLS layer no host name (no SNI);
// - its message stream dot-stuffs one character at a time and hands the
//   socket 1 kB pieces, the last of which waits for the server's delayed ACK:
//   the data is stuffed into one buffer here and written at once.
#include "SmtpSession.h"

#include "PocoSmtpChannel.h"

#include <Poco/Base64Encoder.h>
#include <Poco/Environment.h>
#include <Poco/Exception.h>
#include <Poco/Net/NetSSL.h>

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

class PocoSmtpSession final : public SmtpSession {
public:
    explicit PocoSmtpSession(const SmtpOptions &options)
        : m_options(options)
        , m_channel(options.ReadTimeoutMs)
    {
        InitializeOnce();
    }

    ~PocoSmtpSession() override { Disconnect(); }

    void Connect() override
    {
        Guarded([&] {
            const std::string host = m_options.Host.toStdString();
            m_channel.Connect(host, m_options.Port, m_options.ConnectTimeoutMs);
            if (m_options.UseTLS == SmtpTls::Implicit)
                m_channel.StartTls(host);
            const SmtpReply greeting = m_channel.Read();
            if (!IsPositive(greeting.Code))
                throw SmtpError(SmtpError::SessionRefused, u"The server refuses the connection: "_s + greeting.Text);
            m_inStep = true;
            Hello();
            if (m_options.UseTLS == SmtpTls::StartTls) {
                const SmtpReply reply = Command("STARTTLS");
                if (!IsPositive(reply.Code))
                    throw SmtpError(
                        SmtpError::Refused,
                        u"The server does not offer STARTTLS (%1); the connection is not encrypted."_s.arg(reply.Text));
                // Anything the server sent before the handshake would pass for
                // an answer given inside TLS.
                m_channel.ExpectSilence();
                m_channel.StartTls(host);
                Hello(); // EHLO again: RFC 3207 4.2, the server forgets what it was told
            }
        });
    }

    void Authenticate() override
    {
        if (m_options.AuthType == SmtpAuth::None)
            return;
        Guarded([&] {
            SmtpReply reply = Command("AUTH LOGIN");
            if (reply.Code == 334)
                reply = Command(Base64(m_options.Username));
            if (reply.Code == 334)
                reply = Command(Base64(m_options.Password));
            if (!IsPositive(reply.Code))
                throw SmtpError(SmtpError::Refused, reply.Text);
        });
    }

    void Send(const QString &from, const QStringList &recipients, const QByteArray &data) override
    {
        Guarded([&] {
            SmtpReply reply = Command("MAIL FROM:<" + from.toStdString() + '>');
            if (!IsPositive(reply.Code))
                Refuse(reply, u"Cannot send message: "_s + reply.Text);
            for (const QString &recipient : recipients) {
                const std::string angled = '<' + recipient.toStdString() + '>';
                reply = Command("RCPT TO:" + angled);
                if (!IsPositive(reply.Code))
                    Refuse(reply, u"Recipient rejected: %1: %2"_s.arg(QString::fromStdString(angled), reply.Text));
            }
            reply = Command("DATA");
            if (reply.Code != 354)
                Refuse(reply, u"Cannot send message data: "_s + reply.Text);
            const QByteArray wire = WireData(data);
            reply = m_channel.SendData(wire.constData(), wire.size());
            if (!IsPositive(reply.Code))
                Refuse(reply, u"The server rejected the message: "_s + reply.Text);
        });
    }

    void Disconnect() noexcept override
    {
        // QUIT only while the dialogue is in step: after a broken one it
        // could only cost another time-out. Either way it is said once.
        if (m_inStep && m_channel.IsOpen()) {
            m_inStep = false;
            try {
                Command("QUIT");
            } catch (...) {
                // The sends are over: a server that hangs up first changes nothing.
            }
        }
        m_channel.Close();
    }

    void Abort() noexcept override
    {
        m_inStep = false;
        m_channel.Close();
    }

private:
    // A command and its whole reply, in step with the server.
    SmtpReply Command(const std::string &command)
    {
        m_channel.ExpectSilence();
        const std::string line = command + "\r\n";
        m_channel.Write(line.data(), static_cast<qsizetype>(line.size()));
        return m_channel.Read();
    }

    // EHLO, or HELO from a server that does not know EHLO (RFC 5321 3.2).
    void Hello()
    {
        const std::string domain = Poco::Environment::nodeName();
        SmtpReply reply = Command("EHLO " + domain);
        if (reply.Code / 100 == 5)
            reply = Command("HELO " + domain);
        if (!IsPositive(reply.Code))
            throw SmtpError(SmtpError::SessionRefused,
                            u"The server refuses the greeting (EHLO, HELO): "_s + reply.Text);
    }

    // A refusal of this message (text for the user) is followed by RSET, so
    // the next send starts afresh. A refusal of the session, a server that
    // no longer answers the RSET because it hung up after its reply (the
    // channel is then closed), or an RSET that fails otherwise ends the
    // session instead: every later message would fail the same way, or the
    // dialogue is out of step.
    [[noreturn]] void Refuse(const SmtpReply &reply, const QString &text)
    {
        if (IsSessionReply(reply.Code))
            throw SmtpError(SmtpError::SessionRefused, u"The server refuses mail on this connection: "_s + reply.Text);
        SmtpReply rset;
        try {
            if (m_channel.IsOpen())
                rset = Command("RSET");
        } catch (const SmtpError &e) {
            if (e.ErrorKind() != SmtpError::ConnectionLost)
                throw;
            if (!m_channel.ClosedByServer())
                throw SmtpError(SmtpError::ConnectionLost,
                                u"After the server's reply \"%1\", RSET failed: %2"_s.arg(reply.Text, e.Message()));
        } catch (const Poco::Exception &) {
            // No answer: below.
        }
        if (rset.Code == 0)
            throw SmtpError(SmtpError::SessionRefused,
                            u"The server ended the session after its reply: "_s + reply.Text);
        if (IsSessionReply(rset.Code))
            throw SmtpError(SmtpError::SessionRefused, u"The server refuses mail on this connection: "_s + rset.Text);
        throw SmtpError(SmtpError::Refused, text);
    }

    // Whatever ends a step other than a refusal of it leaves the dialogue
    // out of step or over: no more commands, QUIT included.
    template <typename F> void Guarded(F &&body)
    {
        try {
            body();
        } catch (const SmtpError &e) {
            if (e.ErrorKind() != SmtpError::Refused)
                m_inStep = false;
            throw;
        } catch (const Poco::Exception &e) {
            m_inStep = false;
            throw SmtpError(SmtpError::ConnectionLost, QString::fromStdString(e.displayText()));
        } catch (const std::exception &e) {
            m_inStep = false;
            throw SmtpError(SmtpError::ConnectionLost, QString::fromUtf8(e.what()));
        }
    }

    SmtpOptions m_options;
    PocoSmtpChannel m_channel;
    bool m_inStep = false; // the greeting came and every reply since was in step
};

} // namespace

std::unique_ptr<SmtpSession> CreateSmtpSession(const SmtpOptions &options)
{
    return std::make_unique<PocoSmtpSession>(options);
}
