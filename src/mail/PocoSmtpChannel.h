#pragma once

#include "SmtpReplyReader.h"

#include <Poco/Net/StreamSocket.h>

#include <chrono>
#include <string>

/**
 * @short The byte stream of one SMTP connection over Poco: TCP, TLS at once or
 * after STARTTLS, whole writes and whole replies, each within the time-out.
 *
 * Poco connects and does the TLS handshake. One deadline covers a whole
 * reply, however the server drips it, and a closed connection ends a read
 * at once. Throws SmtpError (ConnectionLost) on every failure, Poco's
 * exceptions aside. Only PocoSmtpSession.cpp uses it.
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
    /** Writes all of the bytes. */
    void Write(const char *bytes, qsizetype size);
    /** Reads one whole reply. */
    SmtpReply Read();
    /**
     * Before a command: the server must have sent nothing since its last
     * reply, or a stray line would be taken for the answer to the command.
     * A 421 sent unasked throws SmtpError::SessionRefused.
     */
    void ExpectSilence();
    bool IsOpen() const { return m_open; }
    void Close() noexcept;

private:
    using Clock = std::chrono::steady_clock;

    /** Waits until the socket is ready for events (poll's), at most until the deadline. */
    bool WaitFor(short events, Clock::time_point deadline) const;
    /** Whether a read may go ahead, to end by the deadline at the latest. */
    bool ReadyToRead(Clock::time_point deadline);
    void SetReceiveTimeout(std::chrono::milliseconds timeout);
    /** One read, added to the reader: false when nothing could be read yet. */
    bool ReceiveSome();

    std::chrono::milliseconds m_timeout;
    std::chrono::milliseconds m_receiveTimeout{0}; // the socket's, without TLS
    Poco::Net::StreamSocket m_socket;
    bool m_open = false;
    bool m_tls = false;
    SmtpReplyReader m_reader;
};
