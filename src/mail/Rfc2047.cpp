#include "Rfc2047.h"

#include "EmailAddress.h"

#include <QRegularExpression>
#include <QStringEncoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int FoldWidth = 78; // RFC 5322 2.1.1: lines SHOULD stay within 78 characters (and MUST within 998)
// The widest a plain word may be, with the blanks before it: what an encoded
// word may be, so that plain text folds as short as encoded text does.
constexpr int MaxPlainUnit = MaxEncodedWord + 1;

bool IsPrintableAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

// RFC 2047 5 (3): in a phrase a Q word may carry only these unencoded.
bool IsQLiteral(unsigned char b)
{
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '!' || b == '*'
           || b == '+' || b == '-' || b == '/';
}

int QLength(const QByteArray &bytes)
{
    int n = 0;
    for (const char c : bytes)
        n += (IsQLiteral(static_cast<unsigned char>(c)) || c == ' ') ? 1 : 3;
    return n;
}

QByteArray QEncode(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == ' ')
            out += '_';
        else if (IsQLiteral(b))
            out += c;
        else
            out += '=' + QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
    }
    return out;
}

int BLength(qsizetype bytes)
{
    return static_cast<int>((bytes + 2) / 3 * 4);
}

// The characters of a text, surrogate pairs kept together.
QStringList Characters(const QString &text)
{
    QStringList chars;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        chars.append(text.mid(i, n));
        i += n - 1;
    }
    return chars;
}

// RFC 2978 2.3: a charset name is a run of mime-charset-chars.
bool IsCharsetToken(const QString &name)
{
    return !name.isEmpty() && std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
               || QStringView(u"!#$%&'+-^_`{}~").contains(c);
    });
}

// A quoted string (RFC 5322 3.2.4) cut at its blanks into tokens, so that
// folding may break it there: quotes and backslashes escaped.
QByteArrayList QuotedPieces(const QString &text)
{
    QByteArray quoted = "\"";
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            quoted += '\\';
        quoted += static_cast<char>(c.unicode());
    }
    quoted += '"';
    return quoted.split(' ');
}

// Whether the tokens fold into lines as short as encoded words would: no
// token, with the blanks before it, wider than MaxPlainUnit.
bool FoldsShort(const QByteArrayList &tokens)
{
    qsizetype width = 0;
    for (const QByteArray &token : tokens) {
        width += 1 + token.size();
        if (width > MaxPlainUnit)
            return false;
        if (!token.isEmpty())
            width = 0;
    }
    return true;
}

} // namespace

QString FoldLineBreaks(const QString &text)
{
    // Most values have no line break: return them without a copy.
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    static const QRegularExpression lineBreaks(u"[\\r\\n]+"_s);
    QString folded = text;
    return folded.replace(lineBreaks, u" "_s);
}

QString ValidUnicode(const QString &text)
{
    // The indexing below detaches the copy at its first read: valid text
    // comes back copied as well.
    QString valid = text;
    for (qsizetype i = 0; i < valid.size(); ++i) {
        if (valid[i].isHighSurrogate() && i + 1 < valid.size() && valid[i + 1].isLowSurrogate())
            ++i;
        else if (valid[i].isSurrogate())
            valid[i] = QChar::ReplacementCharacter;
    }
    return valid;
}

QString MimeCharsetName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (!IsCharsetToken(trimmed))
        return u"utf-8"_s;
    // The system's lookup ignores everything but letters and digits: its own
    // name for the set is what a reader is sure to know.
    const QStringEncoder encoder(trimmed.toLatin1().constData());
    const QString standard = QString::fromLatin1(encoder.name());
    if (!encoder.isValid() || !IsCharsetToken(standard))
        return u"utf-8"_s;
    return standard.compare(trimmed, Qt::CaseInsensitive) == 0 ? trimmed : standard;
}

QChar HeaderEncodingFor(const QString &charSet)
{
    return charSet.compare(u"iso-8859-1"_s, Qt::CaseInsensitive) == 0 ? u'Q' : u'B';
}

QByteArray EncodeInCharSet(const QString &text, QString &charSet)
{
    charSet = MimeCharsetName(charSet);
    QStringEncoder encoder(charSet.toLatin1().constData()); // not Stateless: that loses the error flag
    if (encoder.isValid()) {
        QByteArray bytes = encoder.encode(text);
        if (!encoder.hasError())
            return bytes;
    }
    charSet = u"utf-8"_s;
    return text.toUtf8();
}

QByteArrayList EncodeWords(const QString &text, const QString &charSet, QChar encoding)
{
    // A lone half would stay in the encoder's state and give no bytes at all.
    const QString valid = ValidUnicode(text);
    QString cs = charSet;
    EncodeInCharSet(valid, cs); // settles the character set for the whole text
    QStringEncoder encoder(cs.toLatin1().constData());
    const bool q = encoding == u'Q';
    const QByteArray prefix = "=?" + cs.toLatin1() + (q ? "?Q?" : "?B?");
    const int room = MaxEncodedWord - static_cast<int>(prefix.size()) - 2;

    QByteArrayList words;
    QByteArray chunk;
    auto flush = [&] {
        if (!chunk.isEmpty())
            words.append(prefix + (q ? QEncode(chunk) : chunk.toBase64()) + "?=");
        chunk.clear();
    };
    for (const QString &ch : Characters(valid)) {
        const QByteArray bytes = encoder.encode(ch);
        const QByteArray longer = chunk + bytes;
        if (!chunk.isEmpty() && (q ? QLength(longer) : BLength(longer.size())) > room)
            flush();
        chunk += bytes;
    }
    flush();
    return words;
}

QByteArrayList UnstructuredTokens(const QString &text, const QString &charSet, QChar encoding)
{
    const QString value = FoldLineBreaks(text);
    // "=?" in plain text would read as the start of an encoded word.
    if (IsPrintableAscii(value) && !value.contains(u"=?"_s)) {
        QByteArrayList tokens;
        for (const QString &word : value.split(u' '))
            tokens.append(word.toLatin1());
        // A long word or a long run of blanks (RFC 5322 allows one fold per
        // run) would make a long line: encoded words fold anywhere.
        if (FoldsShort(tokens))
            return tokens;
    }
    return EncodeWords(value, charSet, encoding);
}

QByteArrayList MailboxTokens(const TEmailAddressItem &item, const QString &charSet, QChar encoding)
{
    const QString name = FoldLineBreaks(item.Name).trimmed();
    const QByteArray address = FoldLineBreaks(item.Address).trimmed().toUtf8();
    QByteArrayList tokens;
    bool encoded = false;
    if (!name.isEmpty()) {
        if (IsPrintableAscii(name) && !name.contains(u"=?"_s)) {
            if (std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c == u' ' || IsAtext(c); })) {
                for (const QString &word : name.simplified().split(u' '))
                    tokens.append(word.toLatin1());
            } else {
                tokens = QuotedPieces(name);
            }
        }
        if (tokens.isEmpty() || !FoldsShort(tokens)) {
            tokens = EncodeWords(name, charSet, encoding);
            encoded = true;
        }
    }
    if (!address.isEmpty()) {
        tokens.append(tokens.isEmpty() ? address : '<' + address + '>');
    } else if (!tokens.isEmpty()) {
        // An encoded word must stand apart from the specials that follow it.
        if (encoded)
            tokens.append(":;");
        else
            tokens.last() += ":;";
    }
    return tokens;
}

QByteArray FoldHeader(const QByteArray &name, const QByteArrayList &tokens)
{
    QByteArray out = name + ':';
    qsizetype lineLength = out.size();
    bool tokenOnLine = false;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        // A fold goes where a run of blanks begins, never inside one (RFC 5322
        // 3.2.2 allows one line break per run) and never before blanks that
        // end the value (a folded line may not be blank).
        if (tokenOnLine && !tokens[i - 1].isEmpty()) {
            qsizetype width = 0;
            qsizetype j = i;
            for (; j < tokens.size(); ++j) {
                width += 1 + tokens[j].size();
                if (!tokens[j].isEmpty())
                    break;
            }
            if (j < tokens.size() && lineLength + width > FoldWidth) {
                out += "\r\n";
                lineLength = 0;
            }
        }
        out += ' ';
        out += tokens[i];
        lineLength += 1 + tokens[i].size();
        tokenOnLine = true;
    }
    return out + "\r\n";
}
