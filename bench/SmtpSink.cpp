#include "SmtpSink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

bool SendText(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        text.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

// The reply to one command line (without its CR LF); empty for QUIT.
std::string_view Reply(std::string_view line)
{
    const std::string verb = [&] {
        std::string v(line.substr(0, line.find(' ')));
        for (char &c : v)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        return v;
    }();
    if (verb == "EHLO" || verb == "HELO")
        return "250 sink\r\n";
    if (verb == "MAIL" || verb == "RCPT" || verb == "RSET" || verb == "NOOP")
        return "250 OK\r\n";
    if (verb == "DATA")
        return "354 End data with <CR><LF>.<CR><LF>\r\n";
    if (verb == "QUIT")
        return {};
    return "502 Command not implemented\r\n";
}

} // namespace

SmtpSink::SmtpSink(std::uint16_t port)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_listener < 0)
        throw std::runtime_error("SmtpSink: no socket");
    const int on = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t length = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(m_listener, 16) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(m_listener);
        throw std::runtime_error(std::string("SmtpSink: cannot listen: ") + std::strerror(errno));
    }
    m_port = ntohs(address.sin_port);
    m_acceptor = std::jthread([this] { Accept(); });
}

SmtpSink::~SmtpSink()
{
    m_closing = true;
    ::shutdown(m_listener, SHUT_RDWR); // wakes the accept
    m_acceptor.join();
    ::close(m_listener);
    {
        const std::lock_guard lock(m_mutex);
        for (const int client : m_clients)
            ::shutdown(client, SHUT_RDWR); // wakes each reader
    }
    m_connections.clear(); // joins
}

void SmtpSink::Accept()
{
    while (!m_closing) {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        const int on = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        const std::lock_guard lock(m_mutex);
        m_clients.push_back(client);
        m_connections.emplace_back([this, client] { Serve(client); });
    }
}

void SmtpSink::Serve(int client)
{
    std::string buffer;
    std::string chunk(64 * 1024, '\0');
    bool inData = false;
    size_t scanned = 0; // where the search for the end of the data goes on
    bool open = SendText(client, "220 sink ready\r\n");
    while (open) {
        const ssize_t got = ::recv(client, chunk.data(), chunk.size(), 0);
        if (got <= 0)
            break;
        buffer.append(chunk.data(), static_cast<size_t>(got));
        size_t start = 0;
        while (open) {
            if (inData) {
                // The data ends with CR LF "." CR LF; an empty message is just "." CR LF.
                const std::string_view rest(buffer.data() + start, buffer.size() - start);
                size_t end = std::string_view::npos;
                if (rest.starts_with(".\r\n"))
                    end = 0;
                else if (const size_t at = rest.find("\r\n.\r\n", scanned); at != std::string_view::npos)
                    end = at + 2;
                if (end == std::string_view::npos) {
                    scanned = rest.size() < 4 ? 0 : rest.size() - 4;
                    break;
                }
                start += end + 3;
                inData = false;
                scanned = 0;
                m_messages.fetch_add(1);
                open = SendText(client, "250 OK\r\n");
                continue;
            }
            const size_t lf = buffer.find('\n', start);
            if (lf == std::string::npos)
                break;
            std::string_view line(buffer.data() + start, lf - start);
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            start = lf + 1;
            const std::string_view reply = Reply(line);
            if (reply.empty()) {
                SendText(client, "221 Bye\r\n");
                open = false;
                break;
            }
            inData = reply.starts_with("354");
            open = SendText(client, reply);
        }
        buffer.erase(0, start);
    }
    // Closed under the lock: the destructor never shuts down a number reused meanwhile.
    const std::lock_guard lock(m_mutex);
    m_clients.remove(client);
    ::close(client);
}
