#pragma once

#include <QStringList>

#include <chrono>
#include <optional>
#include <thread>

/**
 * @short An SMTP server for one connection, over TLS 1.3 from the first byte,
 * that takes all of the message data, never answers it, and then asks for a
 * key update again and again: each makes the client write a TLS record of
 * its own, which the server acknowledges as it would data. Python's TLS
 * cannot ask for one; this server speaks OpenSSL directly, on 127.0.0.1.
 *
 * It plays its part on a thread of its own, from construction until the
 * client closes, 30 seconds at most.
 */
class KeyUpdateSmtpServer {
public:
    using Clock = std::chrono::steady_clock;

    /** Listens at once; asks for an update every interval, for as long as the given time after the data. */
    KeyUpdateSmtpServer(std::chrono::milliseconds interval, std::chrono::milliseconds updatesFor);
    ~KeyUpdateSmtpServer();
    KeyUpdateSmtpServer(const KeyUpdateSmtpServer &) = delete;
    KeyUpdateSmtpServer &operator=(const KeyUpdateSmtpServer &) = delete;

    quint16 Port() const { return m_port; }
    // Once the client has closed (or the server's lifetime is over); each waits for that.
    /** The command lines the client sent. */
    const QStringList &Commands() { return Ended().m_commands; }
    /**
     * Since when the server had not answered at the given time: it asked for the data, and then had all of it;
     * none when it had not asked by then.
     */
    std::optional<Clock::time_point> QuietSince(Clock::time_point at)
    {
        const std::optional<Clock::time_point> since = Ended().m_quietSince;
        return since && *since <= at ? since : std::nullopt;
    }
    /** How many key updates the server asked for. */
    int Updates() { return Ended().m_updates; }

private:
    void Serve(std::stop_token stop);
    KeyUpdateSmtpServer &Ended();

    std::chrono::milliseconds m_interval;
    std::chrono::milliseconds m_updatesFor;
    int m_listener = -1;
    quint16 m_port = 0;
    // The thread's own until it ends.
    QStringList m_commands;
    std::optional<Clock::time_point> m_quietSince;
    int m_updates = 0;
    std::jthread m_thread; // last: stops and joins before the rest goes
};
