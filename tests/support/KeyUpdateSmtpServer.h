#pragma once

#include <QStringList>

#include <chrono>
#include <mutex>
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
 * client closes (or it has asked for updates for the given time).
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
    /** The command lines the client sent, once it has closed; waits for that. */
    QStringList Commands(int timeoutMs = 10000);
    /** Since when the server has not answered: it had all of the data; once the client has closed. */
    std::optional<Clock::time_point> QuietSince(int timeoutMs = 10000);
    /** How many key updates the server asked for. */
    int Updates(int timeoutMs = 10000);

private:
    void Serve(std::stop_token stop);
    bool WaitForEnd(int timeoutMs);

    std::chrono::milliseconds m_interval;
    std::chrono::milliseconds m_updatesFor;
    int m_listener = -1;
    quint16 m_port = 0;
    std::mutex m_mutex; // guards what the thread reports
    QStringList m_commands;
    std::optional<Clock::time_point> m_quietSince;
    int m_updates = 0;
    bool m_ended = false;
    std::jthread m_thread; // last: stops and joins before the rest goes
};
