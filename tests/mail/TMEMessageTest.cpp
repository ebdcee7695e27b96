// Composition checks that need no peer; what a real reader decodes from the
// composed bytes is checked against the test server in SMTPTest.
#include "TMEMessage.h"

#include "AppError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TMEMessage Simple()
{
    TMEMessage m;
    m.From = {u"me@example.org"_s, u"Me"_s};
    m.Recipients = {{u"you@example.org"_s, u"You"_s}};
    m.Subject = u"Hello"_s;
    m.ContentType = u"text/plain"_s;
    m.Body = u"Line one\r\nLine two\r\n"_s;
    return m;
}

QByteArray BodyOf(const QByteArray &data)
{
    return data.mid(data.indexOf("\r\n\r\n") + 4);
}

// Header names at the starts of the header block's unfolded lines.
QByteArrayList HeaderNames(const QByteArray &header)
{
    QByteArrayList names;
    for (const QByteArray &line : header.split('\n'))
        if (!line.isEmpty() && line[0] != ' ' && line[0] != '\t')
            names.append(line.left(line.indexOf(':')));
    return names;
}

} // namespace

TEST(TMEMessageTest, PlainAsciiTextNeedsNoMime)
{
    const TMEMessage m = Simple();
    const QByteArray data = m.Compose();
    EXPECT_TRUE(data.startsWith(m.GenerateHeader() + "\r\n"));
    EXPECT_EQ(HeaderNames(m.GenerateHeader()),
              (QByteArrayList{"From", "To", "Subject", "Date", "Message-ID", "Content-Type"}));
    EXPECT_TRUE(data.contains("\r\nFrom: Me <me@example.org>\r\n") || data.startsWith("From: Me <me@example.org>\r\n"));
    EXPECT_TRUE(data.contains("\r\nContent-Type: text/plain\r\n"));
    EXPECT_TRUE(data.contains("Message-ID: <") && data.contains("@example.org>\r\n"));
    EXPECT_EQ(BodyOf(data), "Line one\r\nLine two\r\n");
}

TEST(TMEMessageTest, MimeSwitchAddsTheVersion)
{
    TMEMessage m = Simple();
    m.Encoding = meMIME;
    m.CharSet = u"iso-8859-1"_s;
    const QByteArray header = m.GenerateHeader();
    EXPECT_TRUE(header.contains("MIME-Version: 1.0\r\n"));
    EXPECT_TRUE(header.contains("Content-Type: text/plain; charset=\"iso-8859-1\"\r\n"));
    EXPECT_FALSE(header.contains("Content-Transfer-Encoding"));
}

// Non-ASCII text goes quoted-printable in the declared set: lines within 76
// characters, '=' and trailing blanks encoded, and the message made MIME even
// with the switch off (it could not be read otherwise).
TEST(TMEMessageTest, NonAsciiBodyIsQuotedPrintableInTheDeclaredSet)
{
    TMEMessage m = Simple();
    m.CharSet = u"iso-8859-1"_s;
    m.Body = u"Gr\u00FC\u00DFe = Gr\u00FC\u00DFe \r\n"_s + QString(100, u'\u00E9') + u"\r\n"_s;
    const QByteArray data = m.Compose();
    EXPECT_TRUE(data.contains("MIME-Version: 1.0\r\n"));
    EXPECT_TRUE(data.contains("Content-Transfer-Encoding: quoted-printable\r\n"));
    const QByteArray body = BodyOf(data);
    EXPECT_TRUE(body.startsWith("Gr=FC=DFe =3D Gr=FC=DFe=20\r\n")) << body.constData();
    for (const QByteArray &line : body.split('\n'))
        EXPECT_LE(line.size(), 77) << line.constData(); // 76 and the CR
    EXPECT_TRUE(body.contains("=E9=E9=\r\n"));
}

// Byte for byte what an independent RFC 2045 encoder (Python's email.quoprimime,
// 76 columns) makes of the same UTF-8 lines: escapes never split by a soft
// line break, a trailing blank or tab escaped, '=' always escaped.
TEST(TMEMessageTest, QuotedPrintableMatchesAKnownEncoding)
{
    TMEMessage m = Simple();
    m.CharSet = u"utf-8"_s;
    m.Body = u"Gr\u00FC\u00DFe = 100% caf\u00E9\t\r\n"_s + QString(30, u'\u00E9') + u" tail \r\n"_s + QString(74, u'x')
             + u"\u00E9\r\n"_s + QString(75, u'x') + u"y \r\n"_s + u"=3D"_s.repeated(30) + u"\r\n"_s;
    const QByteArray expected = "Gr=C3=BC=C3=9Fe =3D 100% caf=C3=A9=09\r\n"
                                "=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=\r\n"
                                "=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9=\r\n"
                                "=C3=A9=C3=A9=C3=A9=C3=A9=C3=A9 tail=20\r\n"
                                + QByteArray(74, 'x') + "=\r\n=C3=A9\r\n" + QByteArray(75, 'x') + "=\r\ny=20\r\n"
                                + "=3D3D"_ba.repeated(15) + "=\r\n" + "=3D3D"_ba.repeated(15) + "\r\n";
    EXPECT_EQ(BodyOf(m.Compose()), expected);
}

// Text the declared set cannot hold is sent and declared as UTF-8 instead of
// being turned into question marks; with no set declared, UTF-8 too.
TEST(TMEMessageTest, BodyFallsBackToUtf8)
{
    TMEMessage m = Simple();
    m.CharSet = u"iso-8859-1"_s;
    m.Body = u"Price: 5 \u20AC\r\n"_s;
    EXPECT_TRUE(m.GenerateHeader().contains("charset=\"utf-8\""));
    EXPECT_EQ(BodyOf(m.Compose()), "Price: 5 =E2=82=AC\r\n");

    m.CharSet.clear();
    m.Body = u"caf\u00E9\r\n"_s;
    EXPECT_TRUE(m.GenerateHeader().contains("Content-Type: text/plain; charset=\"utf-8\"\r\n"));
}

// A line break in any value taken from a list or a setting can never make a
// header of its own (or an SMTP command of the envelope).
TEST(TMEMessageTest, LineBreaksInValuesNeverStartAHeader)
{
    TMEMessage m = Simple();
    m.Subject = u"Hi\r\nBcc: spy@example.org"_s;
    m.From.Name = u"Me\nX-Injected: 1"_s;
    m.Recipients = {{u"you@example.org\r\nRCPT TO:<spy@example.org>"_s, u"You\r\n\r\nbody"_s}};
    m.ReplyTo = {{u"r@example.org\rX-Other: 2"_s, {}}};
    m.BccList = {{u"hidden@example.org\nDATA"_s, {}}};
    const QByteArray header = m.GenerateHeader();
    EXPECT_EQ(HeaderNames(header),
              (QByteArrayList{"From", "Reply-To", "To", "Subject", "Date", "Message-ID", "Content-Type"}));
    EXPECT_FALSE(header.contains("\r\n\r\n"));
    EXPECT_EQ(header.count('\n'), header.count("\r\n"));
    for (const char *start : {"\nBcc", "\nX-", "\nRCPT", "\nDATA", "\nbody"})
        EXPECT_FALSE(header.contains(start)) << start;
    for (const QString &address : m.RecipientAddresses())
        EXPECT_FALSE(address.contains(u'\r') || address.contains(u'\n'));
    EXPECT_EQ(m.RecipientAddresses().size(), 2);
}

TEST(TMEMessageTest, BccNeverInTheHeader)
{
    TMEMessage m = Simple();
    m.BccList = {{u"hidden1@example.org"_s, u"Hidden One"_s}, {u"hidden2@example.org"_s, {}}};
    const QByteArray data = m.Compose();
    EXPECT_FALSE(data.contains("hidden"));
    EXPECT_FALSE(data.contains("Hidden"));
    EXPECT_EQ(m.RecipientAddresses(),
              (QStringList{u"you@example.org"_s, u"hidden1@example.org"_s, u"hidden2@example.org"_s}));
}

TEST(TMEMessageTest, BccMethodWithoutVisibleAddressUsesAnEmptyGroup)
{
    TMEMessage m = Simple();
    m.Recipients = {{{}, u"undisclosed recipients"_s}};
    m.BccList = {{u"b@example.org"_s, {}}};
    EXPECT_TRUE(m.GenerateHeader().contains("\r\nTo: undisclosed recipients:;\r\n"));
    EXPECT_EQ(m.RecipientAddresses(), (QStringList{u"b@example.org"_s}));
}

// Empty lines would end the header block; lines that are no "Name: Value"
// are no headers. Values outside ASCII are encoded like the subject.
TEST(TMEMessageTest, ExtraHeadersAreSanitised)
{
    TMEMessage m = Simple();
    m.CharSet = u"utf-8"_s;
    m.ExtraHeaders = {u"X-Priority: 3 (Normal)"_s,
                      u""_s,
                      u"   "_s,
                      u"no colon here"_s,
                      u": no name"_s,
                      u"Bad Name: x"_s,
                      u"X-Note: Gr\u00FC\u00DFe"_s,
                      u"Importance: Normal\r\nX-Evil: 1"_s};
    const QByteArray header = m.GenerateHeader();
    EXPECT_EQ(HeaderNames(header).mid(6), (QByteArrayList{"X-Priority", "X-Note", "Importance"}));
    EXPECT_TRUE(header.contains("X-Priority: 3 (Normal)\r\n"));
    EXPECT_TRUE(header.contains("X-Note: =?utf-8?B?R3LDvMOfZQ==?=\r\n"));
    EXPECT_TRUE(header.contains("Importance: Normal X-Evil: 1\r\n"));
}

TEST(TMEMessageTest, AttachmentsAreReadWhenComposedOnly)
{
    QTemporaryDir dir;
    const QString present = dir.filePath(u"data.bin"_s);
    {
        QFile f(present);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\x00\x01\xFF binary", 10));
    }
    TMEMessage m = Simple();
    m.ContentType = u"multipart/mixed"_s;
    m.MessageParts = {{TMEPart::Text, u"text/plain"_s, {}, u"See attached.\r\n"_s, {}},
                      {TMEPart::AttachmentFile, {}, {}, {}, present}};
    const QByteArray data = m.Compose();
    EXPECT_TRUE(data.contains("MIME-Version: 1.0\r\n")); // multipart: MIME whatever the switch says
    EXPECT_TRUE(data.contains("Content-Type: application/octet-stream; name=\"data.bin\"\r\n"));
    EXPECT_TRUE(data.contains("\r\n" + QByteArray("\x00\x01\xFF binary", 10).toBase64() + "\r\n"));
    EXPECT_TRUE(data.endsWith("--\r\n"));

    m.MessageParts.append({TMEPart::AttachmentFile, {}, {}, {}, dir.filePath(u"gone.pdf"_s)});
    EXPECT_FALSE(m.GenerateHeader().isEmpty());
    try {
        m.Compose();
        FAIL() << "composed without the attachment";
    } catch (const AppError &e) {
        EXPECT_TRUE(e.Message().contains(dir.filePath(u"gone.pdf"_s))) << e.what();
    }
}

// Text from a restored configuration or a list may hold a UTF-16 surrogate
// without its partner: every header goes out as if it were U+FFFD, and an
// attachment named by one alone (the file that the system opens for it
// exists) composes.
TEST(TMEMessageTest, UnpairedSurrogatesComposeAsReplacementCharacters)
{
    QTemporaryDir dir;
    auto withoutDate = [](QByteArray data) {
        const qsizetype at = data.indexOf("\r\nDate: ");
        return data.remove(at, data.indexOf("\r\n", at + 2) - at);
    };
    auto fill = [&](TMEMessage &m, const QString &lone) {
        m.From.Name = u"Zo"_s + lone;
        m.Recipients = {{u"you@example.org"_s, lone}};
        m.Subject = lone + u" news"_s;
        m.ExtraHeaders = {u"X-Note: "_s + lone};
        m.ContentType = u"multipart/mixed"_s;
        m.MessageParts = {{TMEPart::Text, u"text/plain"_s, {}, u"Hi\r\n"_s, {}},
                          {TMEPart::AttachmentFile, {}, {}, {}, dir.filePath(lone)}};
    };
    // Surrogates cannot be written as literals: a high alone, a low alone, a pair the wrong way round.
    const QString lones[] = {QChar(0xD800), QChar(0xDFFF), QString(QChar(0xDC00)) + QChar(0xD800)};
    for (const QString &charSet : {u"utf-8"_s, u"iso-8859-1"_s}) {
        for (const QString &lone : lones) {
            SCOPED_TRACE(charSet.toStdString() + ' ' + QByteArray::number(lone[0].unicode(), 16).toStdString());
            const QString replaced(lone.size(), QChar::ReplacementCharacter);
            QFile file(dir.filePath(replaced));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            TMEMessage m = Simple();
            m.CharSet = charSet;
            fill(m, lone);
            const QByteArray composed = withoutDate(m.Compose());
            fill(m, replaced);
            EXPECT_EQ(composed, withoutDate(m.Compose()));
            EXPECT_TRUE(composed.contains("filename*=utf-8''%EF%BF%BD")) << composed.constData();
        }
    }
}
