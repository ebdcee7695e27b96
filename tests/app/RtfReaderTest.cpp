#include "RtfReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

/** The character format at the first occurrence of text. */
QTextCharFormat FormatAt(const QTextDocument &document, const QString &text)
{
    QTextCursor cursor = document.find(text);
    if (cursor.isNull())
        return {};
    cursor.setPosition(cursor.selectionStart() + 1);
    return cursor.charFormat();
}

/** The paragraphs as they are held (line breaks and non-breaking spaces kept). */
QStringList Paragraphs(const QTextDocument &document)
{
    QStringList texts;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next())
        texts.append(block.text());
    return texts;
}

} // namespace

TEST(RtfReaderTest, ParagraphsAndCharacterFormats)
{
    QTextDocument document;
    ReadRtf(R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Arial;}}
{\colortbl ;\red32\green64\blue112;\red200\green0\blue0;}
{\*\generator Some writer;}
\pard\qc\cf1\b\fs28 Welcome\b0\cf0\fs20\par
\pard Plain, {\b bold}, {\i italic}, {\ul underlined} and {\cf2 red}.\par
\par
Line one\line line two\tab tabbed.\par
})",
            document);

    EXPECT_EQ(Paragraphs(document), (QStringList{u"Welcome"_s, u"Plain, bold, italic, underlined and red."_s, QString(),
                                                 u"Line one\u2028line two\ttabbed."_s}));
    EXPECT_EQ(document.firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(document.firstBlock().next().blockFormat().alignment(), Qt::AlignLeft);

    const QTextCharFormat title = FormatAt(document, u"Welcome"_s);
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_EQ(title.fontPointSize(), 14.0);
    EXPECT_EQ(title.foreground().color(), QColor(32, 64, 112));

    EXPECT_EQ(FormatAt(document, u"bold"_s).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(document, u"italic"_s).fontItalic(), true);
    EXPECT_EQ(FormatAt(document, u"underlined"_s).fontUnderline(), true);
    EXPECT_EQ(FormatAt(document, u"red"_s).foreground().color(), QColor(200, 0, 0));
    // A group's formatting ends with the group.
    const QTextCharFormat plain = FormatAt(document, u" and "_s);
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain.fontUnderline());
    EXPECT_EQ(plain.fontPointSize(), 10.0);

    // A size without a number, or of none, is the default size.
    ReadRtf(R"({\rtf1 {\fs28\fs Bare} {\fs28\fs0 Zero}})", document);
    EXPECT_EQ(FormatAt(document, u"Bare"_s).fontPointSize(), 12.0);
    EXPECT_EQ(FormatAt(document, u"Zero"_s).fontPointSize(), 12.0);
}

TEST(RtfReaderTest, EscapesAndUnknownGroups)
{
    QTextDocument document;
    ReadRtf(R"({\rtf1\ansi Caf\'e9 \'80 5 \u8364? \uc2\u8212\'97\'97 end \{x\} a\\b\~c
{\*\unknowndestination hidden {nested hidden}}{\pict 0123abcd}\unknownword visible\emdash .})",
            document);
    // Line ends are no text in rich text; the blank after a control word belongs to it.
    EXPECT_EQ(Paragraphs(document), QStringList{u"Café € 5 € \u2014 end {x} a\\b\u00A0cvisible\u2014."_s});
}

// Sizes and spacings far beyond a text box are cut to bounds: a spacing of
// millions of pixels kept the welcome window's layout busy for ever.
TEST(RtfReaderTest, NumbersBeyondReasonAreCutToBounds)
{
    QTextDocument document;
    ReadRtf(R"({\rtf1 {\fs99999 Big} {\fs1 small}\sa-20 \u99999?\sb214748368\par})", document);
    EXPECT_EQ(document.firstBlock().blockFormat().topMargin(), 96.0);
    EXPECT_EQ(document.firstBlock().blockFormat().bottomMargin(), 0.0);
    EXPECT_EQ(FormatAt(document, u"Big"_s).fontPointSize(), 144.0);
    EXPECT_EQ(document.firstBlock().text(), u"Big small\uFFFD"_s);
}
