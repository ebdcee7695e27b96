#pragma once

#include "SmtpError.h"
#include "SmtpReplyReader.h"
#include "SocketProgress.h"

#include <Poco/Net/StreamSocket.h>

#include <chrono>
#include <optional>
#include <string>

/**
 * @short The byte stream of one SMTP connection over Poco: TCP, TLS at once or
 * after STARTTLS, whole writes and whole replies, each within the time-out.
 *
 * Poco connects and does TLS. One deadline covers a whole reply, however
 * the server drips it, and one the whole TLS handshake; a write fails only
 * once the server has taken none of it for the time-out, and a closed
 * connection ends a read at once. Throws SmtpError (ConnectionLost) on every
 * failure, Poco's exceptions aside. Only PocoSmtpSession.cpp uses it.
 */
class PocoSmtpChannel {
public:
    explicit PocoSmtpChannel(int timeoutMs)
        : m_timeout(timeoutMs)
    {
    }
    ~PocoSmtpChannel() { Close(); }
    PocoSmtpChannel(const PocoSmtpChannel &) = delete;
    PocoSmtpChannel &operator=(const PocoSmtpChannel &) = delete;

    /** Opens the TCP connection within the connect time-out. */
    void Connect(const std::string &host, quint16 port, int connectTimeoutMs);
    /** Sets up TLS over the connection, giving the server the host name (SNI). */
    void StartTls(const std::string &host);
    /** Writes all of the bytes of a command. */
    void Write(const char *bytes, qsizetype size);
    /** Reads one whole reply. */
    SmtpReply Read();
    /**
     * Writes the message data and returns the server's reply to it. A reply
     * that comes while the data is written, even in part, is early, and so is
     * a refusal that came with the 354: a 2xx delivers nothing and throws, as
     * a reply out of turn; a refusal is the reply, and is returned once the
     * server has taken the rest of the data (it may read it before it answers
     * another command), or closed or reset the connection: then the
     * connection is closed, the refusal being the server's last word. A
     * server that takes none of the rest for the time-out throws, naming its
     * refusal. Whatever it says between is out of turn. A write that fails is
     * judged by what the server sent before it failed. A 3xx neither delivers
     * nor refuses: wherever it comes, it is out of turn and throws.
     */
    SmtpReply SendData(const char *bytes, qsizetype size);
    /**
     * Before a command: the server must have sent nothing since its last
     * reply, or a stray line would be taken for the answer to the command.
     * A 421 sent unasked throws SmtpError::SessionRefused.
     */
    void ExpectSilence();
    bool IsOpen() const { return m_open; }
    /** The server closed or reset the connection (rather than a reply failing otherwise). */
    bool ClosedByServer() const { return m_closedByServer; }
    void Close() noexcept;

private:
    using Clock = std::chrono::steady_clock;

    /**
     * Writes all of the bytes; false when the server took none of them for
     * the time-out. With early, watches for the server's bytes between writes
     * and in every wait while it is empty: the first reply that comes is put
     * there; writing goes on after a refusal and stops after anything else.
     */
    bool Put(const char *bytes, qsizetype size, std::optional<SmtpReply> *early);
    /**
     * What the server sent after its 354, before any data: a refusal, or
     * nothing yet (a reply only begun is Put's to watch); anything else
     * throws as ExpectSilence does.
     */
    std::optional<SmtpReply> ReplyBeforeData();
    /**
     * The reply to the data once all of it is written: the time-out counts
     * from when the server has taken the last of it. A 2xx throws, as a
     * reply out of turn, when part of it came during the write (begun), or
     * when the kernel shows that the server had not yet acknowledged all of
     * the data when its first bytes came.
     */
    SmtpReply ReplyAfterData(bool begun);
    /**
     * After an early refusal: waits until the server has taken the rest of
     * the data, each time it takes more within the time-out. A close or a
     * reset closes the channel; a server that takes none for the time-out
     * throws StoppedTaking. Anything it sends meanwhile throws as
     * ExpectSilence does.
     */
    void AwaitTheRest(const SmtpReply &refusal);
    /** A whole reply among what the server sent before a write failed, if any. */
    std::optional<SmtpReply> ReplyBeforeFailure();
    /**
     * Waits until the socket is ready for events (poll's), at most until the
     * deadline: the events that are ready, or 0 once it has passed, ready or
     * not, so that a socket that keeps reporting ready without progress
     * cannot hold a loop past it.
     */
    short WaitFor(short events, Clock::time_point deadline) const;
    /**
     * Waits as WaitFor does, looking at the server's progress first, then
     * after 1 ms and ever less often up to every ProgressPoll: each time it
     * has taken more of what was written,
     * the deadline moves to one time-out from then. With untilTaken, also
     * ends (0) once it has taken all of the data.
     */
    short WaitWhileTaking(short events, Clock::time_point &deadline, bool untilTaken = false);
    /** Whether the server's bytes wait to be read: in the reader, in the TLS layer or in the socket. */
    bool Waiting() const;
    /**
     * Reads what the server sent unasked: any byte of a reply throws Stray;
     * TLS records that carry no data give the events to wait for next.
     */
    short Unasked();
    /** What the server sent unasked: a 421 refuses the session, anything else is out of turn. */
    static SmtpError Stray(const std::optional<SmtpReply> &reply, const QByteArray &stray);
    /** Whether the TLS layer has read bytes it has not handed out: no poll sees them. */
    bool HeldByTls() const;
    /** Whether the socket has bytes to read now. */
    bool Readable() const;
    /**
     * Whether a read may go ahead, to end by the deadline at the latest (renewed
     * while the server takes the data; once it has taken all of it, one wait
     * covers what is left); events: what to wait for.
     */
    bool ReadyToRead(short events, Clock::time_point &deadline);
    void SetReceiveTimeout(std::chrono::milliseconds timeout);
    /** One read, added to the reader: 0, or when nothing could be read yet, the events to wait for. */
    short ReceiveSome();
    /** Hands the socket what it takes of the bytes now: how many; 0 with the events to wait for. */
    qsizetype SendSome(const char *bytes, qsizetype size, short &waitFor);
    /**
     * One whole reply, if it comes by the deadline, which moves on while the
     * server still takes the data. shortWhenBegun, if given:
     * set when the reply's first bytes are read, to whether the kernel then
     * vouches that the server has not acknowledged all of the data.
     */
    std::optional<SmtpReply> ReadBy(Clock::time_point deadline, bool *shortWhenBegun = nullptr);
    /** A step the server did not let end within the time-out. */
    SmtpError Timeout(const QString &what) const;
    /** After its refusal the server took none of the rest of the data for the time-out. */
    SmtpError StoppedTaking(const SmtpReply &refusal) const;
    /** The server closed the connection. */
    SmtpError ClosedConnection();
    /** Calls io (a Poco read or write): a connection closed or reset on the way throws ClosedConnection. */
    template <typename Io> int Closing(Io &&io);

    std::chrono::milliseconds m_timeout;
    std::chrono::milliseconds m_receiveTimeout{0}; // the socket's, without TLS
    Poco::Net::StreamSocket m_socket;
    bool m_open = false;
    bool m_tls = false;
    bool m_closedByServer = false;
    SmtpReplyReader m_reader;
    std::optional<SocketProgress> m_progress; // once connected
};
