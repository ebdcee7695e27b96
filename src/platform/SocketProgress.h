#pragma once

#include <cstdint>

/**
 * @short How far the peer of a connected stream socket has taken what was
 * written to it, as far as the kernel can vouch for it.
 *
 * On plain TCP the kernel counts the bytes the peer has acknowledged. On any
 * other stream socket that count cannot be trusted (on multipath TCP it
 * describes the first path only, while the send queue is the whole
 * connection's): there only the send queue shrinking tells, and where the
 * kernel cannot tell even that, nothing does.
 */
class SocketProgress {
public:
    explicit SocketProgress(int socket);

    /** Watches anew, from what the peer has taken now, with no end. */
    void Begin();
    /**
     * Takes everything written so far as the end of what is watched: from
     * now on, what is written later (a TLS layer's answer to its peer) is no
     * progress.
     */
    void MarkEnd();
    /** Whether the peer has taken more since last asked; nothing past the end counts. */
    bool TookMore();
    /** Whether the peer may still be taking what was written up to the end; false when nothing can tell. */
    bool Taking() const;
    /** Whether the kernel vouches that the peer has not yet acknowledged all up to the end (plain TCP only). */
    bool ProvablyShort() const;

private:
    int m_socket;
    bool m_countsAcknowledged; // plain TCP, on a kernel whose tcp_info has the count
    std::int64_t m_taken = 0;  // acknowledged when last asked; without the count, the queue then
    bool m_endMarked = false;
    std::int64_t m_end = 0;  // with the count: all that was written up to the end
    bool m_allTaken = false; // the end is marked and the peer has taken everything up to it
};
