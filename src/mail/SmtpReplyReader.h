#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

/** One whole reply of an SMTP server. */
struct SmtpReply {
    int Code = 0;
    QString Text; ///< its lines, codes included, joined by blanks: "250-first 250 last"
};

/**
 * @short Cuts the bytes an SMTP server sends into whole replies (RFC 5321 4.2).
 *
 * A reply ends at the line whose code is followed by a blank or by the line's
 * end. Bytes are added as they come; Take() hands out one reply at a time and
 * keeps what follows it. Anything that is no well-formed reply, or more than a
 * reply may hold, throws SmtpError (ConnectionLost): the dialogue can no
 * longer be trusted. The buffer never holds much more than the largest reply.
 */
class SmtpReplyReader {
public:
    static constexpr qsizetype MaxLineOctets = 512; // RFC 5321 4.5.3.1.5, code and CR LF included
    static constexpr int MaxLines = 100;

    void Append(const char *bytes, qsizetype size) { m_bytes.append(bytes, static_cast<size_t>(size)); }
    /** The first whole reply among the bytes added, taken out of them; none while it is incomplete. */
    std::optional<SmtpReply> Take();
    /** Bytes added and not part of a reply handed out. */
    bool HasPending() const { return !m_bytes.empty(); }
    QByteArray Pending() const { return QByteArray(m_bytes.data(), static_cast<qsizetype>(m_bytes.size())); }

private:
    /** Whether the line from m_lineStart, ending before end, continues the reply; throws when malformed. */
    bool CheckLine(size_t end);

    std::string m_bytes;
    size_t m_lineStart = 0; // the first line of the reply not yet checked
    int m_lines = 0;        // lines of the reply checked so far
};

/** The start of what a server sent, fit for an error text: one line, control characters escaped, cut short. */
QString SafeExcerpt(const QByteArray &bytes);
