#include "KeyUpdateSmtpServer.h"

#include <memory>
#include <stdexcept>
#include <string>

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono;

namespace {

constexpr seconds Lifetime{30};

struct OpenSslFree {
    void operator()(SSL *p) const { SSL_free(p); }
    void operator()(SSL_CTX *p) const { SSL_CTX_free(p); }
    void operator()(EVP_PKEY *p) const { EVP_PKEY_free(p); }
    void operator()(X509 *p) const { X509_free(p); }
};
template <typename T> using Owned = std::unique_ptr<T, OpenSslFree>;

// TLS 1.3 only (key updates are its own), on a self-signed certificate made for it.
Owned<SSL_CTX> ServerContext()
{
    Owned<EVP_PKEY> key(EVP_EC_gen("P-256"));
    Owned<X509> certificate(X509_new());
    X509 *c = certificate.get();
    ASN1_INTEGER_set(X509_get_serialNumber(c), 1);
    X509_gmtime_adj(X509_getm_notBefore(c), 0);
    X509_gmtime_adj(X509_getm_notAfter(c), 86400);
    X509_set_pubkey(c, key.get());
    X509_NAME *name = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("localhost"), -1, -1,
                               0);
    X509_set_issuer_name(c, name);
    X509_sign(c, key.get(), EVP_sha256());
    Owned<SSL_CTX> context(SSL_CTX_new(TLS_server_method()));
    SSL_CTX_set_min_proto_version(context.get(), TLS1_3_VERSION);
    if (!key || !context || SSL_CTX_use_certificate(context.get(), c) != 1
        || SSL_CTX_use_PrivateKey(context.get(), key.get()) != 1)
        throw std::runtime_error("no TLS context for the key update server");
    return context;
}

/** One TLS connection on a non-blocking socket, read and written within deadlines. */
class Connection {
public:
    Connection(SSL *ssl, int socket, std::stop_token stop)
        : m_ssl(ssl)
        , m_socket(socket)
        , m_stop(std::move(stop))
        , m_end(steady_clock::now() + Lifetime)
    {
    }

    /** Reads what comes, until the deadline at most: false once the client has closed (or the test ends). */
    bool ReadUntil(steady_clock::time_point deadline)
    {
        char bytes[65536];
        for (;;) {
            const int read = SSL_read(m_ssl, bytes, sizeof bytes);
            if (read > 0) {
                m_buffer.append(bytes, static_cast<size_t>(read));
                return true;
            }
            if (!Again(SSL_get_error(m_ssl, read)))
                return false;
            if (steady_clock::now() >= deadline)
                return true;
        }
    }

    /** The bytes up to the mark, which is dropped; none once the client has closed. */
    std::optional<std::string> Until(const std::string &mark)
    {
        size_t found = 0;
        while ((found = m_buffer.find(mark)) == std::string::npos)
            if (!ReadUntil(m_end))
                return std::nullopt;
        std::string part = m_buffer.substr(0, found);
        m_buffer.erase(0, found + mark.size());
        return part;
    }

    /** Writes all of the bytes: false once the client has closed (or the test ends). */
    bool Write(const std::string &bytes)
    {
        size_t written = 0;
        while (SSL_write_ex(m_ssl, bytes.data(), bytes.size(), &written) != 1)
            if (!Again(SSL_get_error(m_ssl, 0)))
                return false;
        return true;
    }

    /** Asks the client for a key update of its own, sent at once. */
    void AskForKeyUpdate()
    {
        SSL_key_update(m_ssl, SSL_KEY_UPDATE_REQUESTED);
        SSL_do_handshake(m_ssl);
    }

private:
    /** After a call that gave way with error: whether to call again, once the socket is ready for it. */
    bool Again(int error) const
    {
        if ((error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) || m_stop.stop_requested()
            || steady_clock::now() > m_end)
            return false;
        pollfd target{m_socket, short(error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT), 0};
        ::poll(&target, 1, 20);
        return true;
    }

    SSL *m_ssl;
    int m_socket;
    std::stop_token m_stop;
    steady_clock::time_point m_end;
    std::string m_buffer;
};

} // namespace

KeyUpdateSmtpServer::KeyUpdateSmtpServer(milliseconds interval, milliseconds updatesFor)
    : m_interval(interval)
    , m_updatesFor(updatesFor)
    , m_listener(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0))
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), size) != 0
        || ::listen(m_listener, 1) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        throw std::runtime_error("the key update server cannot listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::jthread([this](std::stop_token stop) { Serve(std::move(stop)); });
}

KeyUpdateSmtpServer::~KeyUpdateSmtpServer()
{
    m_thread.request_stop();
    Ended();
    ::close(m_listener);
}

void KeyUpdateSmtpServer::Serve(std::stop_token stop)
{
    int socket = -1;
    for (pollfd target{m_listener, POLLIN, 0}; socket < 0 && !stop.stop_requested(); ::poll(&target, 1, 20))
        socket = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK);
    const Owned<SSL_CTX> context = ServerContext();
    const Owned<SSL> ssl(SSL_new(context.get()));
    SSL_set_fd(ssl.get(), socket);
    SSL_set_accept_state(ssl.get());
    Connection connection(ssl.get(), socket, stop);
    bool open = socket >= 0 && connection.Write("220 key updates ahead\r\n"); // after the handshake
    while (std::optional<std::string> line = open ? connection.Until("\r\n") : std::nullopt) {
        m_commands.append(QString::fromStdString(*line));
        if (line->rfind("DATA", 0) != 0) {
            open = connection.Write("250 ok\r\n");
            continue;
        }
        // The client's wait for the reply begins once it has written all of
        // the data, which may have reached this socket well before this thread
        // reads it: the 354 certainly came first.
        m_quietSince = steady_clock::now();
        if (!connection.Write("354 go on\r\n") || !connection.Until("\r\n.\r\n"))
            break;
        const steady_clock::time_point stalled = steady_clock::now();
        // No reply to the data, ever; only a request for a key update now and then.
        for (auto next = stalled; open && next < stalled + m_updatesFor; next += m_interval) {
            connection.AskForKeyUpdate();
            ++m_updates;
            open = connection.ReadUntil(next + m_interval);
        }
        while (open)
            open = connection.ReadUntil(steady_clock::now() + seconds(1));
    }
    ::close(socket);
}

KeyUpdateSmtpServer &KeyUpdateSmtpServer::Ended()
{
    if (m_thread.joinable())
        m_thread.join();
    return *this;
}
