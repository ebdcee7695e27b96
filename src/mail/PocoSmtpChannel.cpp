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
#include <cstring>

#include <poll.h>
#include <sys/socket.h>

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
        // A server that closes without TLS's farewell has closed all the same:
        // the read ends as over plain TCP, not as an SSL error. Nothing is
        // taken for complete on its strength, as every reply ends in CR LF.
        SSL_CTX_set_options(c->sslContext(), SSL_OP_IGNORE_UNEXPECTED_EOF);
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

QString Duration(std::chrono::milliseconds timeout)
{
    if (timeout == std::chrono::seconds(1))
        return u"1 second"_s;
    return u"%1 seconds"_s.arg(static_cast<double>(timeout.count()) / 1000.0);
}

// A 2xx that came before the server had all of the message data: it delivers nothing.
SmtpError OutOfTurn(const SmtpReply &reply)
{
    return SmtpError(SmtpError::ConnectionLost,
                     u"The server replied out of turn, before it had all of the message data: "_s + reply.Text);
}

// The most a TLS write is given at once: one record. OpenSSL reports a larger
// write only once all of it is out, so no wait within it would count as
// progress.
constexpr int TlsRecordSize = 16384;

// The most a plain write is given at once. To a server that reads as fast as
// it is written to (on loopback, say), one send goes on until all of the data
// is out, and a reply that came meanwhile would wait unseen until then.
constexpr qsizetype PlainWriteSize = 65536;

// The longest gap between two looks at the server's progress while it takes the data.
constexpr std::chrono::milliseconds ProgressPoll{50};

} // namespace

template <typename Io> int PocoSmtpChannel::Closing(Io &&io)
{
    try {
        return io();
    } catch (const Poco::Exception &e) {
        // As Poco reports a close on a read, or on a TLS write: the same event
        // as a plain write's EPIPE or ECONNRESET, and the same text.
        if (e.code() == ECONNRESET || e.code() == EPIPE)
            throw ClosedConnection();
        throw;
    }
}

void PocoSmtpChannel::Connect(const std::string &host, quint16 port, int connectTimeoutMs)
{
    m_socket.connect(Poco::Net::SocketAddress(host, port), Milliseconds(connectTimeoutMs));
    m_open = true;
    m_progress.emplace(m_socket.impl()->sockfd());
    // Without TLS the socket blocks within the time-out, so that a reply
    // costs one read. Writes never block (SendSome).
    SetReceiveTimeout(m_timeout);
    // Every write is a whole command or a whole message: nothing to gain
    // from holding the last piece back for the server's ACK.
    m_socket.setNoDelay(true);
}

void PocoSmtpChannel::StartTls(const std::string &host)
{
    const Clock::time_point deadline = Clock::now() + m_timeout;
    // TLS does not block: on a blocking socket Poco's handshake waits anew
    // for every byte a server drips, and its TLS read waits for the rest of a
    // record past any time-out. Non-blocking, Poco leaves the handshake to
    // the loop below, and the TLS layer asks the plain socket's own object
    // whether to wait.
    Poco::Net::StreamSocket plain = m_socket;
    plain.setBlocking(false);
    try {
        Poco::Net::SecureStreamSocket tls = Poco::Net::SecureStreamSocket::attach(plain, host, TlsContext());
        tls.setBlocking(false);
        m_socket = tls;
        // A server that hangs up with the hello unread in its socket resets the connection: closed all the same.
        const auto handshake = [&] { return Closing([&] { return tls.completeHandshake(); }); };
        for (int done = handshake(); done != 1; done = handshake()) {
            if (done == 0)
                throw ClosedConnection();
            const bool wantsWrite = done == Poco::Net::SecureStreamSocket::ERR_SSL_WANT_WRITE;
            if (!WaitFor(wantsWrite ? POLLOUT : POLLIN, deadline))
                throw Timeout(u"the TLS handshake did not complete"_s);
        }
    } catch (const Poco::Net::SSLException &e) {
        if (IsVersionFailure(e.message()))
            throw SmtpError(SmtpError::ConnectionLost,
                            u"The server offers no TLS version from TLS 1.2 up; the older versions are no longer "
                            "safe (RFC 8996) and are not used. %1"_s.arg(QString::fromStdString(e.displayText())));
        throw;
    }
    m_tls = true;
}

void PocoSmtpChannel::Write(const char *bytes, qsizetype size)
{
    if (!Put(bytes, size, nullptr))
        throw Timeout(u"the server took no data"_s);
}

SmtpReply PocoSmtpChannel::SendData(const char *bytes, qsizetype size)
{
    std::optional<SmtpReply> early = ReplyBeforeData();
    bool stalled = false; // the server took none of the data for the time-out
    try {
        stalled = !Put(bytes, size, &early);
        if (stalled && !early)
            throw Timeout(u"the server took no data"_s);
    } catch (const SmtpError &) {
        if (!early && !(early = ReplyBeforeFailure()))
            throw;
        // It answered, then hung up or took no more: its last word on this connection.
        Close();
    }
    // A server that stopped taking the data may still wait for the rest:
    // nothing more can be said on this connection.
    if (stalled)
        Close();
    // Only the data's own progress counts from here: what the program writes
    // after it (a TLS key update's answer) is not the server taking data.
    if (m_open)
        m_progress->MarkEnd();
    // Part of a reply that came while the data was written makes all of it
    // early, however late it ends: no reply to the data begins before the data ends.
    const SmtpReply reply = early ? *early : ReplyAfterData(m_reader.HasPending());
    // A 3xx neither delivers nor refuses: no reply to the data, wherever it comes.
    if (reply.Code / 100 == 3)
        throw Stray(reply, reply.Text.toUtf8());
    if (reply.Code / 100 == 2) {
        if (early)
            throw OutOfTurn(reply);
        return reply;
    }
    if (stalled)
        throw StoppedTaking(reply);
    // A refusal that came early: the server may read the rest of the data
    // before it answers the next command.
    if (m_open)
        AwaitTheRest(reply);
    return reply;
}

std::optional<SmtpReply> PocoSmtpChannel::ReplyBeforeData()
{
    if (!Waiting() || (!m_reader.HasPending() && ReceiveSome() != 0))
        return std::nullopt;
    const QByteArray stray = m_reader.Pending();
    std::optional<SmtpReply> reply;
    try {
        reply = m_reader.Take();
        // A refusal is this message's, as if it came a byte later; a reply
        // only begun is judged as it comes, while the data is written.
        if (!reply || reply->Code / 100 >= 4)
            return reply;
    } catch (const SmtpError &) {
        // Not even a reply: out of turn.
    }
    throw Stray(reply, stray);
}

bool PocoSmtpChannel::Put(const char *bytes, qsizetype size, std::optional<SmtpReply> *early)
{
    // The time-out counts from the last time the server took some of the
    // bytes, not from the start of the write: a large message may take far
    // longer than that to go out, and a slow server frees room in the socket
    // too little at a time for it to report itself writable within it.
    Clock::time_point deadline = Clock::now() + m_timeout;
    bool waited = false;
    short writeWants = POLLOUT;
    short readWants = POLLIN;
    short ready = POLLOUT; // the bytes go straight to the socket; only what it cannot take is waited for
    // An error or a hang-up is for the read and the write to report.
    const short failed = POLLERR | POLLHUP;
    const auto watching = [early] { return early && !*early; };
    for (;;) {
        if (watching() && (ready & (readWants | failed))) {
            readWants = ReceiveSome();
            if (!readWants) {
                readWants = POLLIN;
                *early = m_reader.Take();
                if (*early && (*early)->Code / 100 < 4)
                    return true; // out of turn: nothing more goes to this server
            }
        }
        if (ready & (writeWants | failed)) {
            writeWants = POLLOUT;
            const qsizetype sent = SendSome(bytes, size, writeWants);
            if (sent > 0) {
                bytes += sent;
                size -= sent;
                deadline = Clock::now() + m_timeout;
            }
        }
        if (size == 0)
            return true;
        if (!waited) {
            m_progress->Begin();
            waited = true;
        }
        if (watching() && HeldByTls())
            ready = readWants;
        else if (!(ready = WaitWhileTaking(writeWants | (watching() ? readWants : 0), deadline)))
            return false;
    }
}

qsizetype PocoSmtpChannel::SendSome(const char *bytes, qsizetype size, short &waitFor)
{
    if (m_tls) {
        // A write that could not go out is repeated with the same bytes, as OpenSSL requires.
        const int sent = Closing(
            [&] { return m_socket.sendBytes(bytes, static_cast<int>(std::min<qsizetype>(size, TlsRecordSize))); });
        if (sent == 0)
            throw ClosedConnection();
        if (sent < 0)
            waitFor = sent == Poco::Net::SecureStreamSocket::ERR_SSL_WANT_READ ? POLLIN : POLLOUT;
        return std::max(sent, 0);
    }
    // Past Poco: its send goes on over partial writes by itself, each within
    // the socket's time-out, and takes a full queue for an I/O error.
    for (;;) {
        const ssize_t sent = ::send(m_socket.impl()->sockfd(), bytes,
                                    static_cast<size_t>(std::min(size, PlainWriteSize)), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent >= 0)
            return sent;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waitFor = POLLOUT;
            return 0;
        }
        if (errno == EPIPE || errno == ECONNRESET)
            throw ClosedConnection();
        if (errno != EINTR)
            throw SmtpError(SmtpError::ConnectionLost, QString::fromLocal8Bit(std::strerror(errno)));
    }
}

SmtpReply PocoSmtpChannel::Read()
{
    if (std::optional<SmtpReply> reply = ReadBy(Clock::now() + m_timeout))
        return *reply;
    throw Timeout(u"no reply from the server"_s);
}

SmtpReply PocoSmtpChannel::ReplyAfterData(bool begun)
{
    // The segment that brings the reply to the data acknowledges all of it: a
    // reply whose first bytes come while the kernel shows the server has not
    // acknowledged all of it came before the end. Judged when those bytes
    // come, so that acknowledgements that arrive later cannot vouch for it.
    bool early = begun;
    const std::optional<SmtpReply> reply = ReadBy(Clock::now() + m_timeout, begun ? nullptr : &early);
    if (!reply)
        throw Timeout(m_progress->Taking() ? u"the server took no data"_s : u"no reply from the server"_s);
    if (reply->Code / 100 == 2 && early)
        throw OutOfTurn(*reply);
    return *reply;
}

void PocoSmtpChannel::AwaitTheRest(const SmtpReply &refusal)
{
    Clock::time_point deadline = Clock::now() + m_timeout;
    short waitFor = POLLIN;
    try {
        for (;;) {
            // Bytes here already, a reply begun or held by TLS, are read at once.
            if (!m_reader.HasPending() && !HeldByTls() && !WaitWhileTaking(waitFor, deadline, true)) {
                if (!m_progress->Taking())
                    return;
                Close();
                throw StoppedTaking(refusal);
            }
            // Whatever the server says meanwhile is a second reply to one message.
            waitFor = Unasked();
        }
    } catch (const SmtpError &) {
        if (!m_closedByServer)
            throw;
        // It hung up: its refusal was its last word.
        Close();
    }
}

std::optional<SmtpReply> PocoSmtpChannel::ReplyBeforeFailure()
{
    try {
        for (;;) {
            if (std::optional<SmtpReply> reply = m_reader.Take())
                return reply;
            // Each read takes bytes out of the socket, so this ends.
            if (!HeldByTls() && !Readable())
                return std::nullopt;
            if (ReceiveSome() == POLLOUT)
                return std::nullopt;
        }
    } catch (const SmtpError &) {
        // Closed, reset or malformed: no reply to go by.
    } catch (const Poco::Exception &) {
        // The TLS layer gave up: the same.
    }
    return std::nullopt;
}

std::optional<SmtpReply> PocoSmtpChannel::ReadBy(Clock::time_point deadline, bool *shortWhenBegun)
{
    short waitFor = POLLIN;
    for (;;) {
        if (std::optional<SmtpReply> reply = m_reader.Take()) {
            if (m_receiveTimeout != m_timeout)
                SetReceiveTimeout(m_timeout);
            return reply;
        }
        try {
            if (!ReadyToRead(waitFor, deadline))
                return std::nullopt;
            const bool begins = !m_reader.HasPending();
            const short wants = ReceiveSome();
            waitFor = wants ? wants : POLLIN;
            if (shortWhenBegun && begins && m_reader.HasPending())
                *shortWhenBegun = m_progress->ProvablyShort();
        } catch (const Poco::TimeoutException &) {
            return std::nullopt;
        }
    }
}

void PocoSmtpChannel::ExpectSilence()
{
    if (Waiting())
        (void)Unasked();
}

bool PocoSmtpChannel::Waiting() const
{
    return m_reader.HasPending() || HeldByTls() || Readable();
}

short PocoSmtpChannel::Unasked()
{
    // Readable may also mean TLS records that carry no data (a session ticket).
    if (!m_reader.HasPending())
        if (const short wants = ReceiveSome())
            return wants;
    const QByteArray stray = m_reader.Pending();
    std::optional<SmtpReply> reply;
    try {
        reply = m_reader.Take();
    } catch (const SmtpError &) {
        // Not even a reply: below.
    }
    throw Stray(reply, stray);
}

SmtpError PocoSmtpChannel::Stray(const std::optional<SmtpReply> &reply, const QByteArray &stray)
{
    // The one reply a server may send unasked: 421, closing the channel (RFC 5321 3.8).
    if (reply && reply->Code == 421)
        return SmtpError(SmtpError::SessionRefused, u"The server refuses mail on this connection: "_s + reply->Text);
    return SmtpError(SmtpError::ConnectionLost, u"The server sent data out of turn: "_s + SafeExcerpt(stray));
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

short PocoSmtpChannel::WaitFor(short events, Clock::time_point deadline) const
{
    pollfd target{m_socket.impl()->sockfd(), events, 0};
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return 0;
        const int ready = ::poll(&target, 1, static_cast<int>(left.count()));
        if (ready >= 0)
            return ready > 0 ? target.revents : short(0);
        if (errno != EINTR)
            throw SmtpError(SmtpError::ConnectionLost, QString::fromLocal8Bit(std::strerror(errno)));
    }
}

short PocoSmtpChannel::WaitWhileTaking(short events, Clock::time_point &deadline, bool untilTaken)
{
    // Soon after the last write, then less and less often: a server that takes
    // the last of the data at once is seen at once, a slow one costs few wake-ups.
    std::chrono::milliseconds poll{1};
    for (;;) {
        // Looked at first: the server may have taken more, or all, since last asked.
        if (m_progress->TookMore())
            deadline = Clock::now() + m_timeout;
        if ((untilTaken && !m_progress->Taking()) || Clock::now() >= deadline)
            return 0;
        if (const short ready = WaitFor(events, std::min(deadline, Clock::now() + poll)))
            return ready;
        poll = std::min(2 * poll, ProgressPoll);
    }
}

bool PocoSmtpChannel::HeldByTls() const
{
    return m_tls && m_socket.available() > 0;
}

bool PocoSmtpChannel::Readable() const
{
    pollfd target{m_socket.impl()->sockfd(), POLLIN, 0};
    return ::poll(&target, 1, 0) > 0;
}

bool PocoSmtpChannel::ReadyToRead(short events, Clock::time_point &deadline)
{
    if (HeldByTls())
        return true;
    // While the server takes the data, the time-out counts from the last of it taken;
    // once it has taken all of it, one wait covers the rest.
    if (m_progress->Taking() && WaitWhileTaking(events, deadline, true))
        return true;
    if (m_tls)
        return WaitFor(events, deadline) != 0;
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

short PocoSmtpChannel::ReceiveSome()
{
    char buffer[4096];
    const int received = Closing([&] { return m_socket.receiveBytes(buffer, sizeof buffer); });
    if (received == 0)
        throw ClosedConnection();
    // Only TLS reads give way: to a record not yet whole, or to a write of its own (a key update's answer).
    if (received < 0)
        return received == Poco::Net::SecureStreamSocket::ERR_SSL_WANT_WRITE ? POLLOUT : POLLIN;
    m_reader.Append(buffer, received);
    return 0;
}

SmtpError PocoSmtpChannel::Timeout(const QString &what) const
{
    return SmtpError(SmtpError::ConnectionLost, u"Timeout: %1 within %2."_s.arg(what, Duration(m_timeout)));
}

SmtpError PocoSmtpChannel::StoppedTaking(const SmtpReply &refusal) const
{
    return SmtpError(SmtpError::ConnectionLost,
                     u"Timeout: the server took no more of the message within %1 after its reply: %2"_s.arg(
                         Duration(m_timeout), refusal.Text));
}

SmtpError PocoSmtpChannel::ClosedConnection()
{
    m_closedByServer = true;
    return SmtpError(SmtpError::ConnectionLost, u"Connection closed by the server."_s);
}
