#include "MessageAnalysis.h"

#include "MessageLines.h"
#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf8Name("UTF-8");
const QByteArray Cp1252Name("windows-1252");

/** The byte-order marks editors write, and the encoding each announces. */
struct MarkedForm {
    QByteArray Name;
    QByteArray Bom;
};
const std::array<MarkedForm, 3> MarkedForms = {{
    {"UTF-16LE", "\xFF\xFE"},
    {"UTF-16BE", "\xFE\xFF"},
    {Utf8Name, Utf8Bom},
}};

/**
 * The text of bytes in the named encoding, taken only when writing it back
 * gives the very same bytes: a message saved unchanged must not change. A BOM
 * inside the bytes stays a character of the text.
 */
std::optional<QString> DecodeExactly(const QByteArray &bytes, const QByteArray &encoding)
{
    constexpr auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    QStringDecoder decoder(encoding.constData(), flags);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    QStringEncoder encoder(encoding.constData(), flags);
    if (decoder.hasError() || QByteArray(encoder.encode(text)) != bytes)
        return std::nullopt;
    return text;
}

/** Text to Windows-1252 bytes; ok false when a character has no byte. */
QByteArray EncodeWindows1252(const QString &text, bool &ok)
{
    // The characters of bytes 0x80..0x9F; every other byte is its own Latin-1 character.
    static const QString high = [] {
        QByteArray bytes;
        for (int b = 0x80; b <= 0x9F; ++b)
            bytes.append(static_cast<char>(b));
        return DecodeWindows1252(bytes);
    }();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const qsizetype h = high.indexOf(c);
        if (h >= 0) {
            bytes.append(static_cast<char>(0x80 + h));
        } else if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
        } else {
            ok = false;
            return {};
        }
    }
    ok = true;
    return bytes;
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

/** Span to drop with a plain placeholder at i of a text message; {0, 0} when none. */
std::pair<qsizetype, qsizetype> TextDropSpan(const QString &t, qsizetype i)
{
    // Only a placeholder that starts its line, followed by nothing but blanks.
    if (i > 0 && !IsLineBreak(t[i - 1]))
        return {0, 0};
    int breaks = 0;
    qsizetype j = i + 2;
    for (; j < t.size(); ++j) {
        const QChar c = t[j];
        if (c == u' ')
            continue;
        if (!IsLineBreak(c))
            break;
        if (++breaks == 2)
            return {i, j + 1 - i};
    }
    // Another character (or the end of the text) after one line break: the
    // line ended with a single CR or LF.
    if (breaks == 1)
        return {i, j - i};
    return {0, 0};
}

/** Span to drop with a plain placeholder at i of an HTML message: its whole paragraph, or {0, 0}. */
std::pair<qsizetype, qsizetype> HtmlDropSpan(const QString &t, qsizetype i)
{
    if (i < 2 || t[i - 1] != u'>')
        return {0, 0};
    // Backwards through a chain of adjacent tags to one that begins "<p".
    qsizetype start = -1;
    for (qsizetype j = i - 2; j >= 0; --j) {
        if (t[j] != u'<')
            continue;
        if (t[j + 1] == u'p') {
            start = j;
            break;
        }
        if (j < 1 || t[j - 1] != u'>')
            break;
    }
    if (start < 0)
        return {0, 0};
    // Forwards through adjacent tags to "</p>".
    qsizetype k = i + 2;
    while (k < t.size() - 1 && t[k] == u'<') {
        if (QStringView(t).mid(k, 4) == u"</p>")
            return {start, k + 4 - start};
        const qsizetype close = t.indexOf(u'>', k);
        if (close < 0)
            break;
        k = close + 1;
    }
    return {0, 0};
}

} // namespace

QString MessageLinesToText(const QStringList &lines)
{
    QString t;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    t.reserve(size);
    for (const QString &line : lines) {
        t += line;
        t += u"\r\n";
    }
    return t;
}

DecodedMessage DecodeMessageBytes(const QByteArray &bytes)
{
    // Editors save "Unicode" text with a byte-order mark.
    for (const auto &[name, bom] : MarkedForms) {
        if (!bytes.startsWith(bom))
            continue;
        if (std::optional<QString> text = DecodeExactly(bytes.mid(bom.size()), name))
            return {std::move(*text), name, true};
    }
    if (std::optional<QString> text = DecodeExactly(bytes, Utf8Name))
        return {std::move(*text), Utf8Name, false};
    // charset= is plain ASCII, so the Windows-1252 reading finds it as well as
    // any other single-byte reading would.
    DecodedMessage result{DecodeWindows1252(bytes), Cp1252Name, false};
    const QString charset = FindHtmlCharset(result.Text);
    if (!charset.isEmpty()) {
        // A reading that no longer says charset= is not this text's set: the
        // name was found in single bytes, so a set such as UTF-16 cannot be it.
        const QByteArray named = charset.toLatin1();
        if (std::optional<QString> text = DecodeExactly(bytes, named); text && FindHtmlCharset(*text) == charset)
            return {std::move(*text), named, false};
    }
    return result;
}

QByteArray EncodeMessageLike(const QString &t, const QByteArray &existingBytes)
{
    const DecodedMessage existing = DecodeMessageBytes(existingBytes);
    const QString text = WithLineBreak(t, LineBreakOf(existing.Text));
    // UTF-16 with its mark holds every character; UTF-8 is the way out below.
    for (const auto &[name, bom] : MarkedForms) {
        if (existing.Bom && existing.Encoding == name && name != Utf8Name)
            return bom + QByteArray(QStringEncoder(name.constData()).encode(text));
    }
    if (existing.Encoding == Cp1252Name) {
        bool ok = false;
        QByteArray bytes = EncodeWindows1252(text, ok);
        if (ok)
            return bytes;
    } else if (existing.Encoding != Utf8Name) {
        QStringEncoder encoder(existing.Encoding.constData(), QStringEncoder::Flag::Stateless);
        QByteArray bytes = encoder.encode(text);
        // A character the set lacks would come out as a substitute: check by reading back.
        if (!encoder.hasError() && DecodeExactly(bytes, existing.Encoding) == text)
            return bytes;
    }
    return EncodeUtf8(text, existing.Bom);
}

bool IsHtmlMessage(const QString &t)
{
    return t.contains(u"<HTML", Qt::CaseInsensitive) || t.contains(u"</HTML>", Qt::CaseInsensitive);
}

QString FindHtmlCharset(const QString &t)
{
    const qsizetype n = t.size();
    QString charset;
    // The last character of T is never part of a value: T ends in CR LF.
    for (qsizetype i = 0; i < n - 1 && charset.isEmpty(); ++i) {
        if (t[i] != u'<')
            continue;
        for (; i < n - 1; ++i) {
            const QChar c = t[i];
            if ((c == u'c' || c == u'C') && QStringView(t).mid(i, 8).compare(u"charset=", Qt::CaseInsensitive) == 0) {
                qsizetype j = i + 8;
                // HTML5 writes <meta charset="utf-8">; the value is then quoted.
                if (j < n - 1 && (t[j] == u'"' || t[j] == u'\''))
                    ++j;
                const qsizetype from = j;
                while (j < n - 1 && t[j] != u'"' && t[j] != u'\'' && t[j] != u';' && t[j] != u'>')
                    ++j;
                // A line break or blanks before the closing quote belong to the markup, not the name.
                charset = t.mid(from, j - from).trimmed();
                break;
            }
            if (c == u'>')
                break;
        }
    }
    if (charset.size() < 3 || charset.size() > 32)
        return {};
    return charset;
}

std::vector<TParameter> FindPlaceholders(const QString &t, bool isHtml)
{
    std::vector<TParameter> found;
    for (qsizetype i = t.size() - 2; i >= 0; --i) {
        const QChar c = t[i];
        if (c == u'%' && IsDigit(t[i + 1])) {
            const auto [dropStart, dropLength] = isHtml ? HtmlDropSpan(t, i) : TextDropSpan(t, i);
            found.push_back({i, 2, t[i + 1].unicode() - u'0', dropStart, dropLength});
        } else if (isHtml && c == u'>') {
            // Inside a tag only the bracketed form counts: an attribute value
            // such as href="mailto:[%0]".
            for (; i >= 0 && t[i] != u'<'; --i) {
                if (t[i] == u'[' && i + 3 < t.size() && t[i + 1] == u'%' && IsDigit(t[i + 2]) && t[i + 3] == u']')
                    found.push_back({i, 4, t[i + 2].unicode() - u'0', 0, 0});
            }
        }
    }
    return found;
}
