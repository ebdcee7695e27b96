#include "MessageAnalysis.h"
#include "TextHelpers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What the message view does with the placeholders: works through them in
// list order, dropping the span of an empty value or replacing the placeholder.
QString Substitute(QString t, const std::vector<TParameter> &placeholders, const QStringList &values)
{
    for (const TParameter &p : placeholders) {
        const QString value = values.value(p.Index);
        if (value.isEmpty() && p.HasDropSpan())
            t.remove(p.DropStart, p.DropLength);
        else
            t.replace(p.Pos, p.Size, value);
    }
    return t;
}

std::vector<TParameter> Analyse(const QString &t)
{
    return FindPlaceholders(t, IsHtmlMessage(t));
}

} // namespace

TEST(MessageAnalysisTest, PlainPlaceholderInsideALineHasNoDropSpan)
{
    const QString t = u"Dear %1,\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Index, 1);
    EXPECT_EQ(found[0].Size, 2);
    EXPECT_EQ(t.mid(found[0].Pos, found[0].Size), u"%1"_s);
    EXPECT_FALSE(found[0].HasDropSpan());
    EXPECT_EQ(found[0].DropStart, 0);
}

TEST(MessageAnalysisTest, PlaceholderAloneOnItsLineDropsTheLine)
{
    const QString t = u"Hello\r\n%2  \r\nBye\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(t.mid(found[0].DropStart, found[0].DropLength), u"%2  \r\n"_s);
    EXPECT_EQ(Substitute(t, found, {}), u"Hello\r\nBye\r\n"_s);
    EXPECT_EQ(Substitute(t, found, {u""_s, u""_s, u"X"_s}), u"Hello\r\nX  \r\nBye\r\n"_s);

    // A leading blank: the placeholder does not start its line.
    const auto indented = Analyse(u"Hello\r\n %2\r\nBye\r\n"_s);
    ASSERT_EQ(indented.size(), 1u);
    EXPECT_FALSE(indented[0].HasDropSpan());
    // Text after it on the line.
    EXPECT_FALSE(Analyse(u"%2 x\r\n"_s)[0].HasDropSpan());
}

TEST(MessageAnalysisTest, PlaceholderOnTheFirstAndLastLineDrops)
{
    const QString t = u"%1\r\nmiddle\r\n%3\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(Substitute(t, found, {}), u"middle\r\n"_s);
}

TEST(MessageAnalysisTest, LfOnlyAndCrOnlyLineEndsDropTheLine)
{
    const QString lf = u"a\n%1\nb\n%2\n"_s;
    EXPECT_EQ(Substitute(lf, FindPlaceholders(lf, false), {}), u"a\nb\n"_s);
    const QString cr = u"a\r%1\rb\r%2"_s + u"\r"_s;
    EXPECT_EQ(Substitute(cr, FindPlaceholders(cr, false), {}), u"a\rb\r"_s);
    // Through the lines of a message, every line end becomes CR LF.
    const QString t = MessageLinesToText(SplitLines(u"a\r%1\rb"_s));
    EXPECT_EQ(t, u"a\r\n%1\r\nb\r\n"_s);
    EXPECT_EQ(Substitute(t, FindPlaceholders(t, false), {}), u"a\r\nb\r\n"_s);
}

TEST(MessageAnalysisTest, HtmlParagraphDropSpans)
{
    const QString t = u"<html><body>\r\n<p>%3</p>\r\n<p><b>%3</b></p>\r\n</body></html>\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(t.mid(found[0].DropStart, found[0].DropLength), u"<p><b>%3</b></p>"_s);
    EXPECT_EQ(t.mid(found[1].DropStart, found[1].DropLength), u"<p>%3</p>"_s);
    EXPECT_EQ(Substitute(t, found, {}), u"<html><body>\r\n\r\n\r\n</body></html>\r\n"_s);

    for (const QString &para :
         {u"<p>Name: %3</p>"_s, u"<p> %3</p>"_s, u"<P>%3</P>"_s, u"<p>%3 </p>"_s, u"<p>%3</b>x</p>"_s}) {
        const auto none = Analyse(u"<html>"_s + para + u"</html>\r\n"_s);
        ASSERT_EQ(none.size(), 1u) << para.toStdString();
        EXPECT_FALSE(none[0].HasDropSpan()) << para.toStdString();
    }
}

TEST(MessageAnalysisTest, HtmlNestedTagsDropTheWholeParagraph)
{
    const QString t =
        u"<html><div>\r\n<p class=\"greet\"><span style=\"x\"><b>%1</b></span></p><p>Keep %2</p>\r\n</div></html>\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].Index, 1);
    EXPECT_EQ(Substitute(t, found, {u""_s, u""_s, u"B"_s}), u"<html><div>\r\n<p>Keep B</p>\r\n</div></html>\r\n"_s);
    // A text between two tags of the chain breaks it.
    EXPECT_FALSE(Analyse(u"<html><p>x<b>%1</b></p></html>\r\n"_s)[0].HasDropSpan());
}

TEST(MessageAnalysisTest, HtmlTagsHoldOnlyBracketedPlaceholders)
{
    const QString t = u"<html><a href=\"mailto:[%0]\">%0 [%1]</a><img alt=\"%2\"></html>\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 3u);
    // Outside tags the bracketed form is read as a plain one: the brackets stay text.
    EXPECT_EQ(found[0].Size, 2);
    EXPECT_EQ(found[0].Index, 1);
    EXPECT_EQ(t.mid(found[0].Pos - 1, 4), u"[%1]"_s);
    EXPECT_EQ(found[1].Size, 2);
    EXPECT_EQ(found[1].Index, 0);
    EXPECT_EQ(found[2].Size, 4);
    EXPECT_EQ(t.mid(found[2].Pos, found[2].Size), u"[%0]"_s);
    EXPECT_FALSE(found[2].HasDropSpan());
    EXPECT_EQ(Substitute(t, found, {u"a@b.c"_s, u"Ann"_s}),
              u"<html><a href=\"mailto:a@b.c\">a@b.c [Ann]</a><img alt=\"%2\"></html>\r\n"_s);
}

TEST(MessageAnalysisTest, PercentSigns)
{
    const QString t = u"%%1 and 100%\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Pos, 1);
    EXPECT_TRUE(Analyse(u"100%\r\n"_s).empty());
    EXPECT_TRUE(Analyse(u"%a %\r\n"_s).empty());
    // A digit that is not ASCII is no index.
    EXPECT_TRUE(Analyse(u"%\u0661\r\n"_s).empty());
}

TEST(MessageAnalysisTest, PositionsAreStrictlyDescendingInUtf16Units)
{
    const QString t = u"<html><p>%1</p> \U0001F600 [%2] <a title=\"[%3][%4]\">%5%6</a></html>\r\n"_s;
    const auto found = Analyse(t);
    ASSERT_EQ(found.size(), 6u);
    for (std::size_t k = 1; k < found.size(); ++k)
        EXPECT_GT(found[k - 1].Pos, found[k].Pos);
    for (const TParameter &p : found)
        EXPECT_EQ(t.mid(p.Pos + (p.Size == 4 ? 2 : 1), 1).toInt(), p.Index);
}

TEST(MessageAnalysisTest, HtmlTest)
{
    EXPECT_TRUE(IsHtmlMessage(u"<html><body>x"_s));
    EXPECT_TRUE(IsHtmlMessage(u"x</HTML>"_s));
    EXPECT_TRUE(IsHtmlMessage(u"<Html lang=\"en\">"_s));
    EXPECT_FALSE(IsHtmlMessage(u"We write html e-mails <b>now</b>."_s));
}

TEST(MessageAnalysisTest, CharsetFromContentAttribute)
{
    EXPECT_EQ(FindHtmlCharset(u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\r\n"_s),
              u"windows-1251"_s);
    EXPECT_EQ(FindHtmlCharset(u"<meta content=\"text/html; CHARSET=koi8-r;x\">\r\n"_s), u"koi8-r"_s);
    // Too short or too long.
    EXPECT_EQ(FindHtmlCharset(u"<meta content=\"text/html; charset=ab\">\r\n"_s), QString());
    EXPECT_EQ(FindHtmlCharset(u"<meta content=\"charset="_s + QString(33, u'x') + u"\">\r\n"_s), QString());
    EXPECT_EQ(FindHtmlCharset(u"<meta content=\"charset="_s + QString(32, u'x') + u"\">\r\n"_s), QString(32, u'x'));
    // Only inside a tag.
    EXPECT_EQ(FindHtmlCharset(u"text charset=utf-8\r\n"_s), QString());
    // The value never takes the last character of the text.
    EXPECT_EQ(FindHtmlCharset(u"<a charset=abcd"_s), u"abc"_s);
}

TEST(MessageAnalysisTest, CharsetQuotedAndEmpty)
{
    EXPECT_EQ(FindHtmlCharset(u"<meta charset=\"utf-8\">\r\n"_s), u"utf-8"_s);
    EXPECT_EQ(FindHtmlCharset(u"<meta charset='iso-8859-2'>\r\n"_s), u"iso-8859-2"_s);
    // An empty value lets the scan go on to the next tag.
    EXPECT_EQ(FindHtmlCharset(u"<a charset=\"\"><meta charset=\"utf-8\">\r\n"_s), u"utf-8"_s);
    EXPECT_EQ(FindHtmlCharset(u"<a charset=><b charset=big5>\r\n"_s), u"big5"_s);
    // The first named one wins.
    EXPECT_EQ(FindHtmlCharset(u"<a charset=big5><b charset=utf-8>\r\n"_s), u"big5"_s);
    // Line breaks and blanks around the name are markup.
    EXPECT_EQ(FindHtmlCharset(u"<meta content=\"text/html; charset=utf-8\r\n  \">\r\n"_s), u"utf-8"_s);
    EXPECT_EQ(FindHtmlCharset(u"<a charset= \r\n><meta charset=\r\n\r\nkoi8-r\r\n\r\n>\r\n"_s), u"koi8-r"_s);
}

TEST(MessageAnalysisTest, SplitLines)
{
    EXPECT_EQ(SplitLines(u"a\r\nb"_s), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(SplitLines(u"a\r\nb\r\n"_s), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(SplitLines(u"a\r\r\nb\n\nc"_s), (QStringList{u"a"_s, u""_s, u"b"_s, u""_s, u"c"_s}));
    EXPECT_EQ(SplitLines(u"\n"_s), QStringList{u""_s});
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
    EXPECT_EQ(MessageLinesToText({}), QString());
}

TEST(MessageAnalysisTest, DecodeUtf8WithAndWithoutBom)
{
    const QString text = u"Grüße €"_s;
    const DecodedMessage plain = DecodeMessageBytes(text.toUtf8());
    EXPECT_EQ(plain.Text, text);
    EXPECT_EQ(plain.Encoding, QByteArray("UTF-8"));
    EXPECT_FALSE(plain.Bom);
    const DecodedMessage bom = DecodeMessageBytes("\xEF\xBB\xBF" + text.toUtf8());
    EXPECT_EQ(bom.Text, text);
    EXPECT_TRUE(bom.Bom);
}

// "Unicode" text from a Windows editor: UTF-16 with a byte-order mark, read
// as such and written back in the same form.
TEST(MessageAnalysisTest, Utf16FilesReadAndSaveInTheirOwnForm)
{
    const QString text = u"Grüße %1 €"_s;
    const QByteArray le =
        QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    const DecodedMessage read = DecodeMessageBytes(le);
    EXPECT_EQ(read.Text, text);
    EXPECT_EQ(read.Encoding, QByteArray("UTF-16LE"));
    EXPECT_EQ(EncodeMessageLike(text, le), le);
    const QString changed = u"Жук"_s;
    const QByteArray be = EncodeMessageLike(changed, "\xFE\xFF");
    EXPECT_TRUE(be.startsWith("\xFE\xFF"));
    EXPECT_EQ(DecodeMessageBytes(be).Text, changed);
}

TEST(MessageAnalysisTest, DecodeFallsBackToWindows1252OrTheNamedCharset)
{
    EXPECT_EQ(DecodeMessageBytes("Gr\xFC\xDF\x65 \x80").Text, u"Grüße €"_s);
    EXPECT_EQ(DecodeMessageBytes("Gr\xFC\xDF\x65").Encoding, QByteArray("windows-1252"));

    // Windows-1251: "Привет" in a page that says so.
    const QByteArray cyr = "<html><meta content=\"text/html; charset=windows-1251\">\xCF\xF0\xE8\xE2\xE5\xF2</html>";
    const DecodedMessage named = DecodeMessageBytes(cyr);
    EXPECT_TRUE(named.Text.contains(u"Привет"_s));
    EXPECT_EQ(named.Encoding, QByteArray("windows-1251"));
    // A name the system does not know: Windows-1252.
    const DecodedMessage unknown = DecodeMessageBytes("<meta charset=\"no-such-set\">\xE9");
    EXPECT_TRUE(unknown.Text.endsWith(u"é"_s));
    // A name the bytes themselves deny: "charset=" in single bytes is no UTF-16.
    const DecodedMessage wide = DecodeMessageBytes("<meta charset=\"utf-16\">Caf\xE9s\r\n");
    EXPECT_EQ(wide.Text, u"<meta charset=\"utf-16\">Cafés\r\n"_s);
    EXPECT_EQ(wide.Encoding, QByteArray("windows-1252"));
    // Valid UTF-8 wins over what the text says (the working copy is always UTF-8).
    const QString utf = u"<meta charset=\"iso-8859-1\">é"_s;
    EXPECT_EQ(DecodeMessageBytes(utf.toUtf8()).Text, utf);
}

TEST(MessageAnalysisTest, EncodeKeepsTheExistingFilesCharacterSet)
{
    const QString text = u"Grüße € "_s;
    // Windows-1252 stays Windows-1252 while every character fits.
    const QByteArray cp = EncodeMessageLike(text, "old \xE9");
    EXPECT_EQ(cp, QByteArray("Gr\xFC\xDF\x65 \x80 "));
    EXPECT_EQ(EncodeMessageLike(u"Жук"_s, "old \xE9"), u"Жук"_s.toUtf8());
    // UTF-8 keeps its BOM.
    EXPECT_EQ(EncodeMessageLike(text, "\xEF\xBB\xBFold"), "\xEF\xBB\xBF" + text.toUtf8());
    EXPECT_EQ(EncodeMessageLike(text, "old"), text.toUtf8());
    // A named set: kept while it can hold the text.
    const QString cyr = u"<meta charset=\"koi8-r\">Жук"_s;
    const QByteArray old = "<meta charset=\"koi8-r\">\xF6";
    EXPECT_EQ(DecodeMessageBytes(EncodeMessageLike(cyr, old)).Text, cyr);
    EXPECT_NE(EncodeMessageLike(cyr, old), cyr.toUtf8());
    EXPECT_EQ(EncodeMessageLike(cyr + u"€"_s, old), (cyr + u"€"_s).toUtf8());
}
