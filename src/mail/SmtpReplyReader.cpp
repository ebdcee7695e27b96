#include "SmtpReplyReader.h"

#include "SmtpError.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype ExcerptOctets = 60;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[noreturn]] void Malformed(const std::string &bytes, size_t from)
{
    throw SmtpError(SmtpError::ConnectionLost,
                    u"The server sent a malformed reply: "_s
                        + SafeExcerpt(QByteArray(bytes.data() + from, static_cast<qsizetype>(bytes.size() - from))));
}

[[noreturn]] void TooLong(const std::string &bytes)
{
    throw SmtpError(SmtpError::ConnectionLost,
                    u"The server's reply is longer than SMTP allows: "_s
                        + SafeExcerpt(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))));
}

} // namespace

std::optional<SmtpReply> SmtpReplyReader::Take()
{
    for (;;) {
        // A line ends at CR LF, or at LF alone as lenient clients allow. A CR
        // before anything else is no line end any server meant: taking it for
        // one, or not, would pair later replies with the wrong commands.
        const size_t stop = m_bytes.find_first_of("\r\n", m_lineStart);
        if (stop == std::string::npos || (m_bytes[stop] == '\r' && stop + 1 == m_bytes.size())) {
            if (m_bytes.size() - m_lineStart > static_cast<size_t>(MaxLineOctets))
                TooLong(m_bytes);
            return std::nullopt;
        }
        if (m_bytes[stop] == '\r' && m_bytes[stop + 1] != '\n')
            Malformed(m_bytes, m_lineStart);
        const size_t next = stop + (m_bytes[stop] == '\r' ? 2 : 1);
        if (next - m_lineStart > static_cast<size_t>(MaxLineOctets) || ++m_lines > MaxLines)
            TooLong(m_bytes);
        const bool more = CheckLine(stop);
        m_lineStart = next;
        if (more)
            continue;

        SmtpReply reply;
        reply.Code = std::stoi(m_bytes.substr(0, 3));
        reply.Text = QString::fromUtf8(m_bytes.data(), static_cast<qsizetype>(stop))
                         .replace(u"\r\n"_s, u" "_s)
                         .replace(u'\n', u' ')
                         .trimmed();
        m_bytes.erase(0, next);
        m_lineStart = 0;
        m_lines = 0;
        return reply;
    }
}

bool SmtpReplyReader::CheckLine(size_t end)
{
    // "250", "250 text" or "250-text" (more lines follow), with the code of
    // the reply's first line on every line.
    const size_t start = m_lineStart;
    const size_t size = end - start;
    const char *line = m_bytes.data() + start;
    const bool codeOk = size >= 3 && line[0] >= '2' && line[0] <= '5' && IsDigit(line[1]) && IsDigit(line[2])
                        && (start == 0 || m_bytes.compare(0, 3, line, 3) == 0);
    if (!codeOk || (size > 3 && line[3] != ' ' && line[3] != '-'))
        Malformed(m_bytes, start);
    return size > 3 && line[3] == '-';
}

QString SafeExcerpt(const QByteArray &bytes)
{
    const qsizetype lineFeed = bytes.indexOf('\n');
    qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed;
    if (lineFeed > 0 && bytes[lineFeed - 1] == '\r')
        --end;
    const bool cut = end > ExcerptOctets || (lineFeed >= 0 && lineFeed + 1 < bytes.size());
    QString text;
    for (const char c : bytes.first(std::min(end, ExcerptOctets))) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            text += u"\\r"_s;
        else if (c == '\t')
            text += u"\\t"_s;
        else if (byte < 0x20 || byte >= 0x7f || c == '\\')
            text += u"\\x%1"_s.arg(byte, 2, 16, QChar(u'0'));
        else
            text += QLatin1Char(c);
    }
    return u'"' + text + (cut ? u"\"\u2026"_s : u"\""_s);
}
