#include "SocketProgress.h"

#include <algorithm>
#include <cstddef>

#include <linux/sockios.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace {

bool IsPlainTcp(int socket)
{
    int protocol = 0;
    socklen_t size = sizeof protocol;
    return ::getsockopt(socket, SOL_SOCKET, SO_PROTOCOL, &protocol, &size) == 0 && protocol == IPPROTO_TCP;
}

// The bytes the peer has acknowledged since the connection began, as tcp_info
// counts them; -1 on a kernel whose tcp_info lacks the count.
std::int64_t Acknowledged(int socket)
{
    tcp_info info = {};
    socklen_t size = sizeof info;
    if (::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) != 0
        || size < offsetof(tcp_info, tcpi_bytes_acked) + sizeof info.tcpi_bytes_acked)
        return -1;
    return static_cast<std::int64_t>(info.tcpi_bytes_acked);
}

// The bytes written that the peer has not yet acknowledged (the send queue); -1 where the kernel cannot tell.
std::int64_t Unsent(int socket)
{
    int queued = 0;
    return ::ioctl(socket, SIOCOUTQ, &queued) == 0 ? queued : -1;
}

} // namespace

SocketProgress::SocketProgress(int socket)
    : m_socket(socket)
    , m_countsAcknowledged(IsPlainTcp(socket) && Acknowledged(socket) >= 0)
{
    Begin();
}

void SocketProgress::Begin()
{
    m_taken = m_countsAcknowledged ? Acknowledged(m_socket) : Unsent(m_socket);
    m_endMarked = false;
    m_allTaken = false;
}

void SocketProgress::MarkEnd()
{
    m_endMarked = true;
    if (m_countsAcknowledged) {
        // Read in this order, the end errs low, by what the peer acknowledges between the two calls.
        const std::int64_t acknowledged = Acknowledged(m_socket);
        m_end = acknowledged + std::max<std::int64_t>(Unsent(m_socket), 0);
        m_taken = std::min(acknowledged, m_end);
        m_allTaken = m_taken >= m_end;
    } else {
        m_taken = Unsent(m_socket);
        m_allTaken = m_taken <= 0; // all of it taken, or nothing can tell
    }
}

bool SocketProgress::TookMore()
{
    if (m_allTaken)
        return false;
    if (m_countsAcknowledged) {
        std::int64_t acknowledged = Acknowledged(m_socket);
        if (m_endMarked)
            acknowledged = std::min(acknowledged, m_end);
        if (acknowledged <= m_taken)
            return false;
        m_taken = acknowledged;
        m_allTaken = m_endMarked && m_taken >= m_end;
        return true;
    }
    // The queue grows with every write: only its shrinking since last asked is the peer's doing.
    const std::int64_t queued = Unsent(m_socket);
    if (queued < 0)
        return false;
    const bool took = queued < m_taken;
    m_taken = queued;
    m_allTaken = m_endMarked && queued == 0;
    return took;
}

bool SocketProgress::Taking() const
{
    return m_endMarked && !m_allTaken;
}

bool SocketProgress::ProvablyShort() const
{
    if (!m_countsAcknowledged || !m_endMarked)
        return false;
    const std::int64_t acknowledged = Acknowledged(m_socket);
    return acknowledged >= 0 && acknowledged < m_end;
}
