#include "SocketQueue.h"

#include <cstddef>

#include <linux/sockios.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

std::optional<std::uint64_t> AcknowledgedBytes(int socket)
{
    tcp_info info = {};
    socklen_t size = sizeof info;
    if (::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) != 0
        || size < offsetof(tcp_info, tcpi_bytes_acked) + sizeof info.tcpi_bytes_acked)
        return std::nullopt;
    return info.tcpi_bytes_acked;
}

std::optional<SocketQueue> ReadSocketQueue(int socket)
{
    // Acknowledgements may come between two calls: the queue is read on both
    // sides of the count, and only when it stayed the same do the two agree.
    // Should it keep changing, the sum errs low: by the bytes acknowledged
    // between the two calls.
    int before = 0;
    if (::ioctl(socket, SIOCOUTQ, &before) != 0)
        return std::nullopt;
    for (int attempt = 0;; ++attempt) {
        const std::optional<std::uint64_t> acknowledged = AcknowledgedBytes(socket);
        int after = 0;
        if (!acknowledged || ::ioctl(socket, SIOCOUTQ, &after) != 0)
            return std::nullopt;
        if (after == before || attempt == 8)
            return SocketQueue{*acknowledged, *acknowledged + static_cast<std::uint64_t>(after)};
        before = after;
    }
}
