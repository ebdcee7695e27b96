#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <thread>

/**
 * @short A minimal SMTP server on loopback that takes every message and keeps
 * none: the peer of the send benchmarks.
 *
 * It answers every command at once and reads the data in large pieces, so a
 * client measured against it pays for little but its own work and the round
 * trips. One thread per connection; no TLS, no authentication.
 */
class SmtpSink {
public:
    /** Listens on 127.0.0.1 at that port (0: any free port); throws std::runtime_error when it cannot. */
    explicit SmtpSink(std::uint16_t port = 0);
    /** Closes the listener and every connection, and waits for their threads. */
    ~SmtpSink();
    SmtpSink(const SmtpSink &) = delete;
    SmtpSink &operator=(const SmtpSink &) = delete;

    std::uint16_t Port() const { return m_port; }
    /** Messages taken so far, over all connections. */
    long Messages() const { return m_messages.load(); }

private:
    void Accept();
    void Serve(int client);

    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<long> m_messages{0};
    std::atomic<bool> m_closing{false};
    std::mutex m_mutex; // guards the two lists
    std::list<int> m_clients;
    std::list<std::jthread> m_connections;
    std::jthread m_acceptor; // last: started when everything above is ready
};
