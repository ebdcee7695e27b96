#include "Rfc2047.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A decoder written from RFC 2047 alone, to check the encoder against.
QString DecodeWord(const QByteArray &word)
{
    static const QRegularExpression form(u"^=\\?([^?]+)\\?([QqBb])\\?([^?]*)\\?=$"_s);
    const QRegularExpressionMatch m = form.match(QString::fromLatin1(word));
    if (!m.hasMatch())
        return u"<not an encoded word: %1>"_s.arg(QString::fromLatin1(word));
    QByteArray bytes;
    const QByteArray text = m.captured(3).toLatin1();
    if (m.captured(2).toUpper() == u"B"_s) {
        bytes = QByteArray::fromBase64(text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '_') {
                bytes += ' ';
            } else if (text[i] == '=') {
                bytes += static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16));
                i += 2;
            } else {
                bytes += text[i];
            }
        }
    }
    QStringDecoder decoder(m.captured(1).toLatin1().constData());
    return decoder.decode(bytes);
}

QString DecodeWords(const QByteArrayList &words)
{
    QString text;
    for (const QByteArray &w : words)
        text += DecodeWord(w);
    return text;
}

QList<QByteArray> Lines(const QByteArray &header)
{
    QList<QByteArray> lines = header.split('\n');
    lines.removeLast(); // after the final LF
    return lines;
}

} // namespace

TEST(Rfc2047Test, LineBreaksFoldToOneBlank)
{
    EXPECT_EQ(FoldLineBreaks(u"a\r\nBcc: x\rb\nc\n\r\n d"_s), u"a Bcc: x b c  d"_s);
    EXPECT_EQ(FoldLineBreaks(u"plain"_s), u"plain"_s);
}

TEST(Rfc2047Test, QOnlyForLatin1)
{
    EXPECT_EQ(HeaderEncodingFor(u"ISO-8859-1"_s), u'Q');
    EXPECT_EQ(HeaderEncodingFor(u"iso-8859-1"_s), u'Q');
    EXPECT_EQ(HeaderEncodingFor(u"utf-8"_s), u'B');
    EXPECT_EQ(HeaderEncodingFor(u"iso-8859-15"_s), u'B');
}

// Only a clean token naming a set the system knows reaches a header; any
// other name is UTF-8, and a spelling the system merely tolerates becomes its
// standard one.
TEST(Rfc2047Test, CharsetNamesForHeaders)
{
    const std::pair<QString, QString> cases[] = {
        {u"utf-8"_s, u"utf-8"_s},         {u" windows-1251\r\n"_s, u"windows-1251"_s},
        {u"cp1251"_s, u"windows-1251"_s}, {u"utf-8'"_s, u"UTF-8"_s},
        {u"iso 8859 1"_s, u"utf-8"_s},    {u" \r\n"_s, QString()},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(MimeCharsetName(name), expected) << name.toStdString();
}

// Characters the declared set cannot hold, or a set nobody knows, give UTF-8
// rather than question marks.
TEST(Rfc2047Test, EncodeInCharSetFallsBackToUtf8)
{
    QString cs = u"iso-8859-1"_s;
    EXPECT_EQ(EncodeInCharSet(u"Gr\u00FC\u00DFe"_s, cs), QByteArray("Gr\xFC\xDF"
                                                                    "e"));
    EXPECT_EQ(cs, u"iso-8859-1"_s);

    cs = u"iso-8859-1"_s;
    EXPECT_EQ(EncodeInCharSet(u"\u20AC \u0416"_s, cs), u"\u20AC \u0416"_s.toUtf8());
    EXPECT_EQ(cs, u"utf-8"_s);

    cs = u"no-such-set"_s;
    EXPECT_EQ(EncodeInCharSet(u"\u00E9"_s, cs), u"\u00E9"_s.toUtf8());
    EXPECT_EQ(cs, u"utf-8"_s);

    cs = u"windows-1251"_s;
    EXPECT_EQ(EncodeInCharSet(u"\u0416"_s, cs), QByteArray("\xC6"));
    EXPECT_EQ(cs, u"windows-1251"_s);
}

// Long text of mixed characters: every word within the limit, no character
// split between two words, and the words decode to the text again.
TEST(Rfc2047Test, EncodedWordsRoundTripWithinTheLimit)
{
    const QString text = u"Gr\u00FC\u00DFe aus K\u00F6ln \u2014 \U0001F600 smile, and more text: "_s.repeated(4)
                         + u"=?not a word?= _under_score_"_s;
    for (const auto &[charSet, kind] :
         {std::pair{u"utf-8"_s, QChar(u'B')}, {u"utf-8"_s, QChar(u'Q')}, {u"iso-8859-1"_s, QChar(u'Q')}}) {
        SCOPED_TRACE((charSet + u' ' + kind).toStdString());
        const QByteArrayList words = EncodeWords(text, charSet, kind);
        ASSERT_GT(words.size(), 4);
        for (const QByteArray &w : words) {
            EXPECT_LE(w.size(), MaxEncodedWord) << w.constData();
            EXPECT_FALSE(DecodeWord(w).contains(QChar::ReplacementCharacter)) << w.constData();
            // RFC 2047 5 (3): nothing in a Q word that a phrase would misread.
            EXPECT_FALSE(w.mid(2).chopped(2).contains(' '));
        }
        EXPECT_EQ(DecodeWords(words), text);
    }
}

TEST(Rfc2047Test, UnstructuredValuesStayPlainWhenTheyCan)
{
    EXPECT_EQ(UnstructuredTokens(u"Hello  there"_s, u"utf-8"_s, u'B'), (QByteArrayList{"Hello", "", "there"}));
    // Line breaks never reach the header, not even in plain text.
    EXPECT_EQ(UnstructuredTokens(u"Hi\r\nBcc: spy@example.org"_s, u"utf-8"_s, u'B'),
              (QByteArrayList{"Hi", "Bcc:", "spy@example.org"}));

    const QByteArrayList encoded = UnstructuredTokens(u"Caf\u00E9\r\nX"_s, u"iso-8859-1"_s, u'Q');
    ASSERT_EQ(encoded.size(), 1);
    EXPECT_TRUE(encoded[0].startsWith("=?iso-8859-1?Q?"));
    EXPECT_EQ(DecodeWords(encoded), u"Caf\u00E9 X"_s);

    // Plain text that looks like an encoded word is encoded, or readers would decode it.
    EXPECT_EQ(DecodeWords(UnstructuredTokens(u"=?utf-8?B?SGk=?="_s, u"utf-8"_s, u'B')), u"=?utf-8?B?SGk=?="_s);
}

TEST(Rfc2047Test, MailboxForms)
{
    const QString cs = u"utf-8"_s;
    EXPECT_EQ(MailboxTokens({u"a@example.org"_s, {}}, cs, u'B'), (QByteArrayList{"a@example.org"}));
    EXPECT_EQ(MailboxTokens({u"a@example.org"_s, u"Ann  Lee"_s}, cs, u'B'),
              (QByteArrayList{"Ann", "Lee", "<a@example.org>"}));
    // Specials need a quoted string, with quotes and backslashes escaped; it
    // is cut at its blanks, where folding may break it.
    EXPECT_EQ(MailboxTokens({u"a@example.org"_s, u"Lee, \"Ann\" \\x"_s}, cs, u'B'),
              (QByteArrayList{"\"Lee,", "\\\"Ann\\\"", "\\\\x\"", "<a@example.org>"}));
    // An address from a list with a line break in it cannot add a header.
    EXPECT_EQ(MailboxTokens({u" a@example.org\r\nBcc: x@example.org"_s, {}}, cs, u'B'),
              (QByteArrayList{"a@example.org Bcc: x@example.org"}));

    const QByteArrayList encoded = MailboxTokens({u"j@example.org"_s, u"J\u00FCrgen M\u00FCller"_s}, cs, u'B');
    ASSERT_EQ(encoded.size(), 2);
    EXPECT_EQ(DecodeWord(encoded[0]), u"J\u00FCrgen M\u00FCller"_s);
    EXPECT_EQ(encoded[1], "<j@example.org>");

    // No address: an empty group carrying the name.
    EXPECT_EQ(MailboxTokens({{}, u"undisclosed recipients"_s}, cs, u'B'),
              (QByteArrayList{"undisclosed", "recipients:;"}));
    const QByteArrayList group = MailboxTokens({{}, u"Empf\u00E4nger"_s}, cs, u'B');
    ASSERT_EQ(group.size(), 2);
    EXPECT_EQ(group[1], ":;");
    EXPECT_TRUE(MailboxTokens({}, cs, u'B').isEmpty());
}

TEST(Rfc2047Test, FoldingKeepsLinesShortAndNeverBlank)
{
    QByteArrayList tokens;
    for (int i = 0; i < 40; ++i)
        tokens << "word" + QByteArray::number(i);
    tokens << ""
           << ""
           << "after-blanks";
    // A run of blanks moves to the next line whole; blanks that end the value stay.
    for (int i = 0; i < 40; ++i)
        tokens << "";
    tokens << "after-a-run"
           << ""
           << "";
    const QByteArray header = FoldHeader("Subject", tokens);
    ASSERT_TRUE(header.endsWith("\r\n"));
    const QList<QByteArray> lines = Lines(header);
    ASSERT_GT(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Subject: word0 "));
    for (QByteArray line : lines) {
        line.chop(1); // CR
        EXPECT_LE(line.size(), 78) << line.constData();
        EXPECT_FALSE(line.trimmed().isEmpty());
    }
    EXPECT_TRUE(lines.last().startsWith(QByteArray(41, ' ') + "after-a-run  \r")) << lines.last().constData();
    for (int i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].startsWith(' '));
    // Unfolding (RFC 5322 2.2.3) gives the tokens joined by single blanks.
    QByteArray unfolded = header;
    unfolded.replace("\r\n ", " ");
    EXPECT_EQ(unfolded, "Subject: " + tokens.join(' ') + "\r\n");

    // A token too long for any line still goes on the name's line, whole.
    const QByteArray longToken(120, 'x');
    EXPECT_EQ(FoldHeader("X", {longToken}), "X: " + longToken + "\r\n");
}
