#pragma once

#include <cstdint>
#include <optional>

/** @short How far the peer of a connected TCP socket has taken what was written to it. */
struct SocketQueue {
    std::uint64_t Acknowledged = 0; ///< bytes the peer has acknowledged since the connection began
    std::uint64_t Written = 0;      ///< bytes written since then: the acknowledged ones and those still queued
};

/** The socket's queue at one moment, as the kernel counts it; empty when the kernel cannot tell. */
std::optional<SocketQueue> ReadSocketQueue(int socket);

/** The bytes the peer has acknowledged since the connection began; empty when the kernel cannot tell. */
std::optional<std::uint64_t> AcknowledgedBytes(int socket);
