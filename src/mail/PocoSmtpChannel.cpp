#include "PocoSmtpChannel.h"

#include "SmtpError.h"

#include <Poco/Exception.h>
#include <Poco/Net/Context.h>
#include <Poco/Net/SSLException.h>
#include <Poco/Net/SecureStreamSocket.h>
#include <Poco/Net/SocketAddress.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <poll.h>

using namespace Qt::StringLiterals;

namespace {

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

Poco::Timespan Milliseconds(int ms)
{
    return Poco::Timespan(static_cast<Poco::Timespan::TimeDiff>(ms) * 1000);
}

SmtpError ConnectionClosed()
{
    return SmtpError(SmtpError::ConnectionLost, u"Connection closed by the server."_s);
}

QString Seconds(std::chrono::milliseconds timeout)
{
    return QString::number(static_cast<double>(timeout.count()) / 1000.0);
}

} // namespace

void PocoSmtpChannel::Connect(const std::string &host, quint16 port, int connectTimeoutMs)
{
    m_socket.connect(Poco::Net::SocketAddress(host, port), Milliseconds(connectTimeoutMs));
    m_open = true;
    // Without TLS the socket blocks within these time-outs, so that a reply
    // costs one read; Poco's TLS handshake blocks within them too.
    SetReceiveTimeout(m_timeout);
    m_socket.setSendTimeout(Milliseconds(static_cast<int>(m_timeout.count())));
    // Every write is a whole command or a whole message: nothing to gain
    // from holding the last piece back for the server's ACK.
    m_socket.setNoDelay(true);
}

void PocoSmtpChannel::StartTls(const std::string &host)
{
    Poco::Net::StreamSocket plain = m_socket;
    try {
        m_socket = Poco::Net::SecureStreamSocket::attach(plain, host, TlsContext());
    } catch (const Poco::Net::SSLException &e) {
        if (IsVersionFailure(e.message()))
            throw SmtpError(SmtpError::ConnectionLost,
                            u"The server offers no TLS version from TLS 1.2 up; the older versions are no longer "
                            "safe (RFC 8996) and are not used. %1"_s.arg(QString::fromStdString(e.displayText())));
        throw;
    }
    // After the handshake TLS does not block: on a blocking socket Poco's TLS
    // read waits for the rest of a record past any time-out. The TLS layer
    // asks the plain socket's own object whether to wait.
    plain.setBlocking(false);
    m_socket.setBlocking(false);
    m_tls = true;
}

void PocoSmtpChannel::Write(const char *bytes, qsizetype size)
{
    // The time-out bounds each wait for the server to take more, not the
    // whole write: a large message may take longer than that to go out.
    Clock::time_point deadline = Clock::now() + m_timeout;
    while (size > 0) {
        // A TLS write that could not go out is repeated with the same bytes, as OpenSSL requires.
        int sent = -1;
        try {
            sent = m_socket.sendBytes(bytes, static_cast<int>(std::min<qsizetype>(size, INT_MAX)));
        } catch (const Poco::TimeoutException &) {
            // Without TLS: the send time-out ran out, below.
        }
        if (sent > 0) {
            bytes += sent;
            size -= sent;
            deadline = Clock::now() + m_timeout;
            continue;
        }
        if (sent == 0)
            throw ConnectionClosed();
        const bool wantsRead = sent == Poco::Net::SecureStreamSocket::ERR_SSL_WANT_READ;
        if (!m_tls || !WaitFor(wantsRead ? POLLIN : POLLOUT, deadline))
            throw SmtpError(SmtpError::ConnectionLost,
                            u"Timeout: the server took no data within %1 seconds."_s.arg(Seconds(m_timeout)));
    }
}

SmtpReply PocoSmtpChannel::Read()
{
    const Clock::time_point deadline = Clock::now() + m_timeout;
    for (;;) {
        if (std::optional<SmtpReply> reply = m_reader.Take()) {
            if (m_receiveTimeout != m_timeout)
                SetReceiveTimeout(m_timeout);
            return *reply;
        }
        try {
            if (!ReadyToRead(deadline))
                throw Poco::TimeoutException();
            ReceiveSome();
        } catch (const Poco::TimeoutException &) {
            throw SmtpError(SmtpError::ConnectionLost,
                            u"Timeout: no reply from the server within %1 seconds."_s.arg(Seconds(m_timeout)));
        }
    }
}

void PocoSmtpChannel::ExpectSilence()
{
    const bool tlsPending = m_tls && m_socket.available() > 0; // read by TLS, not handed out: no poll sees it
    if (!m_reader.HasPending() && !tlsPending && !WaitFor(POLLIN, Clock::now()))
        return;
    // Readable may also mean TLS records that carry no data (a session ticket).
    if (!m_reader.HasPending() && !ReceiveSome())
        return;
    const QByteArray stray = m_reader.Pending();
    // The one reply a server may send unasked: 421, closing the channel (RFC 5321 3.8).
    std::optional<SmtpReply> reply;
    try {
        reply = m_reader.Take();
    } catch (const SmtpError &) {
        // Not even a reply: below.
    }
    if (reply && reply->Code == 421)
        throw SmtpError(SmtpError::SessionRefused, u"The server refuses mail on this connection: "_s + reply->Text);
    throw SmtpError(SmtpError::ConnectionLost, u"The server sent data out of turn: "_s + SafeExcerpt(stray));
}

void PocoSmtpChannel::Close() noexcept
{
    if (!m_open)
        return;
    m_open = false;
    try {
        m_socket.close();
    } catch (...) {
        // Closing: a TLS farewell that cannot go out changes nothing.
    }
}

bool PocoSmtpChannel::WaitFor(short events, Clock::time_point deadline) const
{
    pollfd target{m_socket.impl()->sockfd(), events, 0};
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        const int ready =
            ::poll(&target, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            throw SmtpError(SmtpError::ConnectionLost, QString::fromLocal8Bit(std::strerror(errno)));
    }
}

bool PocoSmtpChannel::ReadyToRead(Clock::time_point deadline)
{
    if (m_tls) // bytes the TLS layer has read and not handed out: no poll would see them
        return m_socket.available() > 0 || WaitFor(POLLIN, deadline);
    // The read blocks, for the time left of this reply.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
        return false;
    if (left < m_receiveTimeout)
        SetReceiveTimeout(left);
    return true;
}

void PocoSmtpChannel::SetReceiveTimeout(std::chrono::milliseconds timeout)
{
    m_socket.setReceiveTimeout(Milliseconds(static_cast<int>(timeout.count())));
    m_receiveTimeout = timeout;
}

bool PocoSmtpChannel::ReceiveSome()
{
    char buffer[4096];
    const int received = m_socket.receiveBytes(buffer, sizeof buffer);
    if (received == 0)
        throw ConnectionClosed();
    if (received < 0)
        return false;
    m_reader.Append(buffer, received);
    return true;
}
