#pragma once

#include <cstdint>
#include <optional>

// How far the peer of a connected TCP socket has taken what was written to it.

/** The bytes written that the peer has not yet acknowledged (the kernel's send queue); -1 when the kernel cannot tell.
 */
int UnsentBytes(int socket);

/** The bytes the peer has acknowledged since the connection began; empty when the kernel cannot tell. */
std::optional<std::uint64_t> AcknowledgedBytes(int socket);
