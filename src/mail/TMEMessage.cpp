#include "TMEMessage.h"

#include "AppError.h"
#include "EmailAddress.h"
#include "Rfc2047.h"
#include "TextHelpers.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringEncoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype MaxLineBytes = 998; // RFC 5322 2.1.1
constexpr int QpLineWidth = 76;         // RFC 2045 6.7 (5)
constexpr int Base64LineWidth = 76;
constexpr qsizetype MaxHeaderName = 76; // "Name: " and a value fit a line of 78

QByteArray RandomHex(int words)
{
    QByteArray hex;
    for (int i = 0; i < words; ++i)
        hex += QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
    return hex;
}

// Appends one line as quoted-printable, writing straight into out: soft line
// breaks keep every line within 76 characters.
void AppendQuotedPrintable(QByteArray &out, QByteArrayView line)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const qsizetype n = line.size();
    // Worst case: every byte escaped, and a soft break after every 25 bytes.
    const qsizetype start = out.size();
    out.resize(start + 3 * n + 3 * (n / 25 + 1));
    char *p = out.data() + start;
    int column = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(line[i]);
        const bool blank = b == ' ' || b == '\t';
        // Blanks at a line end would be lost in transport (RFC 2045 6.7 (3)).
        const bool literal = (b >= 33 && b <= 126 && b != '=') || (blank && i + 1 < n);
        const int width = literal ? 1 : 3;
        if (column + width > QpLineWidth - 1) {
            *p++ = '=';
            *p++ = '\r';
            *p++ = '\n';
            column = 0;
        }
        if (literal) {
            *p++ = static_cast<char>(b);
        } else {
            *p++ = '=';
            *p++ = Hex[b >> 4];
            *p++ = Hex[b & 0xF];
        }
        column += width;
    }
    out.truncate(p - out.constData());
}

QByteArray Base64Lines(const QByteArray &bytes)
{
    const QByteArray encoded = bytes.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); i += Base64LineWidth)
        out += encoded.mid(i, Base64LineWidth) + "\r\n";
    return out;
}

QByteArray ContentTypeValue(const QString &type, const QString &charSet)
{
    QByteArray value = FoldLineBreaks(type).toLatin1();
    if (const QString name = MimeCharsetName(charSet); !name.isEmpty())
        value += "; charset=\"" + name.toLatin1() + '"';
    return value;
}

// A file name as parameter values, in tokens that fold within 78 characters:
// RFC 2231 for the standard filename (continued over numbered parameters
// when long), and name= for the readers that know only that older habit, as
// a quoted string of encoded words when the name is not short plain ASCII.
struct FileNameParams {
    QByteArrayList Name;
    QByteArrayList FileName;
};

constexpr qsizetype ParamChunk = 50; // characters of a file name value per parameter: room for its name

FileNameParams FileNameParameters(const QString &path)
{
    const QString name = ValidUnicode(FoldLineBreaks(QFileInfo(path).fileName()));
    const bool plain = std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() <= 0x7E && c != u'"' && c != u'\\';
    });
    if (plain && name.size() <= ParamChunk) {
        const QByteArray quoted = '"' + name.toLatin1() + '"';
        return {{"name=" + quoted}, {"filename=" + quoted}};
    }
    FileNameParams params;
    params.Name = EncodeWords(name, u"utf-8"_s, u'B');
    params.Name.first().prepend("name=\"");
    params.Name.last().append('"');

    const QByteArray value = plain ? name.toLatin1() : name.toUtf8().toPercentEncoding("!#$&+-.^_`|~");
    if (!plain && value.size() <= ParamChunk) {
        params.FileName = {"filename*=utf-8''" + value};
        return params;
    }
    for (qsizetype at = 0, n = 0; at < value.size(); ++n) {
        qsizetype length = std::min(ParamChunk, value.size() - at);
        // A %XX escape stays whole within one parameter.
        while (!plain && at + length < value.size() && (value[at + length - 1] == '%' || value[at + length - 2] == '%'))
            --length;
        const QByteArray chunk = value.mid(at, length);
        QByteArray param = "filename*" + QByteArray::number(n);
        if (plain)
            param += "=\"" + chunk + '"';
        else
            param += (n == 0 ? "*=utf-8''" : "*=") + chunk;
        at += length;
        if (at < value.size())
            param += ';';
        params.FileName.append(param);
    }
    return params;
}

struct BodyCoding {
    QByteArray ContentType;
    QByteArray TransferEncoding; // empty: 7bit, nothing to write
    QByteArray Content;
    bool NeedsMime = false;
};

// Every line in charSet, one encoder for them all (each line starts in the
// set's initial state). When the system does not know the set, or a line has
// a character the set lacks, every line is UTF-8 and charSet "utf-8", so that
// no character is lost.
QByteArrayList EncodeLines(const QStringList &lines, QString &charSet)
{
    QByteArrayList bytes;
    bytes.reserve(lines.size());
    if (charSet.compare(u"utf-8"_s, Qt::CaseInsensitive) != 0) {
        QStringEncoder encoder(charSet.toLatin1().constData()); // not Stateless: that loses the error flag
        for (qsizetype i = 0; encoder.isValid() && i < lines.size() && !encoder.hasError(); ++i) {
            encoder.resetState();
            bytes.append(encoder.encode(lines[i]));
        }
        if (encoder.isValid() && !encoder.hasError())
            return bytes;
        bytes.clear();
        charSet = u"utf-8"_s;
    }
    for (const QString &line : lines)
        bytes.append(line.toUtf8());
    return bytes;
}

// Text in the declared character set (UTF-8 when none is declared or the
// declared one cannot hold it): 7bit when it is plain short ASCII, else
// quoted-printable. The character set is named when one was declared or the
// text is not plain ASCII.
BodyCoding CodeText(const QString &text, const QString &type, const QString &declared)
{
    const QString declaredName = MimeCharsetName(declared);
    QString charSet = declaredName.isEmpty() ? u"utf-8"_s : declaredName;
    const QByteArrayList lines = EncodeLines(SplitLines(text), charSet);
    bool ascii = true;
    bool shortLines = true;
    for (const QByteArray &line : lines) {
        ascii = ascii && std::all_of(line.cbegin(), line.cend(), [](char c) {
                    const auto b = static_cast<unsigned char>(c);
                    return b != 0 && b < 0x80;
                });
        shortLines = shortLines && line.size() <= MaxLineBytes;
    }

    BodyCoding coding;
    const bool declare = !declaredName.isEmpty() || !ascii;
    coding.ContentType = ContentTypeValue(type, declare ? charSet : QString());
    if (ascii && shortLines) {
        coding.Content = lines.join("\r\n") + "\r\n";
    } else {
        coding.TransferEncoding = "quoted-printable";
        coding.NeedsMime = true;
        qsizetype size = 0;
        for (const QByteArray &line : lines)
            size += line.size() + 2;
        coding.Content.reserve(size + size / 4); // room for a few escapes; grows if needed
        for (const QByteArray &line : lines) {
            AppendQuotedPrintable(coding.Content, line);
            coding.Content += "\r\n";
        }
    }
    return coding;
}

} // namespace

TMEMessage::TMEMessage()
    : m_boundary("=_vc_" + RandomHex(3)) // "=_" cannot occur in base64 or quoted-printable text
    , m_messageId(QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 16) + '.' + RandomHex(2))
{
}

void TMEMessage::AssignMimeOptions(const TEmailMessage &em)
{
    MimeEna = em.MimeEna;
    MimeCharSet = em.CharSet;
}

void TMEMessage::InitializeISO(QChar &headerEncoding, QString &charSet) const
{
    // A name from a message file or a setting reaches encoded words only as a clean token.
    charSet = MimeCharsetName(CharSet);
    if (const QString mimeCharSet = MimeCharsetName(MimeCharSet); MimeEna && !mimeCharSet.isEmpty())
        charSet = mimeCharSet;
    if (charSet.isEmpty())
        charSet = u"utf-8"_s;
    headerEncoding = HeaderEncodingFor(charSet);
}

QString TMEMessage::SenderAddress() const
{
    return FoldLineBreaks(From.Address).trimmed();
}

QStringList TMEMessage::RecipientAddresses() const
{
    QStringList addresses;
    for (const TEmailAddressList *list : {&Recipients, &BccList})
        for (const TEmailAddressItem &item : *list) {
            const QString address = FoldLineBreaks(item.Address).trimmed();
            if (!address.isEmpty())
                addresses.append(address);
        }
    return addresses;
}

QByteArray TMEMessage::GenerateHeader() const
{
    if (MessageParts.isEmpty()) {
        const BodyCoding body = CodeText(Body, ContentType, CharSet);
        return Header(body.ContentType, body.TransferEncoding, body.NeedsMime);
    }
    return Header(ContentTypeValue(ContentType, CharSet) + ";\r\n boundary=\"" + m_boundary + '"', {}, true);
}

void TMEMessage::CheckAddresses() const
{
    if (!IsValidEmailAddress(From.Address))
        throw AppError(InvalidAddressText(From.Address));
    for (const TEmailAddressList *list : {&ReplyTo, &Recipients, &BccList})
        for (const TEmailAddressItem &item : *list)
            if ((list != &Recipients || !item.Address.trimmed().isEmpty()) && !IsValidEmailAddress(item.Address))
                throw AppError(InvalidAddressText(item.Address));
}

QByteArray TMEMessage::Compose() const
{
    // Nothing malformed may reach the envelope or a header.
    CheckAddresses();
    if (MessageParts.isEmpty()) {
        const BodyCoding body = CodeText(Body, ContentType, CharSet);
        return Header(body.ContentType, body.TransferEncoding, body.NeedsMime) + "\r\n" + body.Content;
    }
    QByteArray out = GenerateHeader() + "\r\nThis is a multi-part message in MIME format.\r\n";
    for (const TMEPart &part : MessageParts) {
        out += "\r\n--" + m_boundary + "\r\n";
        if (part.PartKind == TMEPart::Text) {
            const BodyCoding text =
                CodeText(part.Body, part.ContentType, part.CharSet.isEmpty() ? CharSet : part.CharSet);
            out += "Content-Type: " + text.ContentType + "\r\n";
            if (!text.TransferEncoding.isEmpty())
                out += "Content-Transfer-Encoding: " + text.TransferEncoding + "\r\n";
            out += "\r\n" + text.Content;
        } else {
            QFile file(part.FileName);
            if (!file.open(QIODevice::ReadOnly))
                throw AppError(u"Cannot read attachment file \"%1\". %2"_s.arg(part.FileName, file.errorString()));
            const QByteArray bytes = file.readAll();
            if (file.error() != QFileDevice::NoError)
                throw AppError(u"Cannot read attachment file \"%1\". %2"_s.arg(part.FileName, file.errorString()));
            const FileNameParams names = FileNameParameters(part.FileName);
            const QString type = part.ContentType.isEmpty() ? u"application/octet-stream"_s : part.ContentType;
            out += FoldHeader("Content-Type", QByteArrayList{FoldLineBreaks(type).toLatin1() + ';'} + names.Name);
            out += "Content-Transfer-Encoding: base64\r\n";
            out += FoldHeader("Content-Disposition", QByteArrayList{"attachment;"} + names.FileName);
            out += "\r\n" + Base64Lines(bytes);
        }
    }
    return out + "\r\n--" + m_boundary + "--\r\n";
}

QByteArray TMEMessage::Header(const QByteArray &contentType, const QByteArray &transferEncoding, bool needsMime) const
{
    QChar encoding;
    QString charSet;
    InitializeISO(encoding, charSet);

    auto listTokens = [&](const TEmailAddressList &list) {
        QByteArrayList tokens;
        for (const TEmailAddressItem &item : list) {
            const QByteArrayList mailbox = MailboxTokens(item, charSet, encoding);
            if (mailbox.isEmpty())
                continue;
            if (!tokens.isEmpty())
                tokens.last() += ',';
            tokens += mailbox;
        }
        return tokens;
    };

    QByteArray out = FoldHeader("From", MailboxTokens(From, charSet, encoding));
    if (const QByteArrayList replyTo = listTokens(ReplyTo); !replyTo.isEmpty())
        out += FoldHeader("Reply-To", replyTo);
    if (const QByteArrayList to = listTokens(Recipients); !to.isEmpty())
        out += FoldHeader("To", to);
    out += FoldHeader("Subject", UnstructuredTokens(Subject, charSet, encoding));
    out += "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() + "\r\n";

    const QString sender = SenderAddress();
    const QString domain = IsValidEmailAddress(sender) ? sender.section(u'@', -1) : u"localhost"_s;
    out += "Message-ID: <" + m_messageId + '@' + domain.toLatin1() + ">\r\n";

    // A multipart or encoded body is unreadable without it, whatever the switch says.
    if (Encoding == meMIME || needsMime)
        out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    if (!transferEncoding.isEmpty())
        out += "Content-Transfer-Encoding: " + transferEncoding + "\r\n";

    // An empty line would end the header block and push the rest into the
    // body, and a line that is no "Name: Value" (with a name that leaves room
    // for a value on its line) is no header: both are left out.
    for (const QString &line : ExtraHeaders) {
        const QString folded = FoldLineBreaks(line);
        const qsizetype colon = folded.indexOf(u':');
        const QString name = folded.left(colon);
        const bool validName =
            colon > 0 && colon <= MaxHeaderName
            && std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() >= 33 && c.unicode() <= 126; });
        if (validName)
            out += FoldHeader(name.toLatin1(), UnstructuredTokens(folded.mid(colon + 1).trimmed(), charSet, encoding));
    }
    return out;
}
