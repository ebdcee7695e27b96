// The message's lines between the text editor, the settings and the user's file.
#include "MessageLines.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(MessageLinesTest, EditorRoundTripAddsAndLosesNothing)
{
    const QList<QStringList> cases = {
        {}, {u""_s}, {u"a"_s, u"b"_s}, {u"a"_s, u""_s}, {u""_s, u""_s, u"x\u00a0y\t"_s}, {u"<p>%1</p>"_s}};
    for (const QStringList &lines : cases)
        EXPECT_EQ(MessageEditorLines(MessageEditorText(lines)), lines) << lines.join(u'|').toStdString();
    EXPECT_EQ(MessageEditorText({u"a"_s, u"b"_s}), u"a\nb\n"_s);
}

TEST(MessageLinesTest, EditorTextSplitsAtEveryKindOfBreak)
{
    EXPECT_EQ(MessageEditorLines(u"a\nb\n"), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(MessageEditorLines(u"a\r\nb"), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(MessageEditorLines(u"a\rb\u2029c\u2028d\u2029"), (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
    EXPECT_EQ(MessageEditorLines(u"\n\n"), (QStringList{u""_s, u""_s}));
}

TEST(MessageLinesTest, FilesKeepTheirLineBreak)
{
    EXPECT_EQ(LineBreakOf(u"a\r\nb\n"), u"\r\n"_s);
    EXPECT_EQ(LineBreakOf(u"a\nb\r\n"), u"\n"_s);
    EXPECT_EQ(LineBreakOf(u"a\rb"), u"\r"_s);
    EXPECT_EQ(LineBreakOf(u"one line"), u"\r\n"_s);
    EXPECT_EQ(WithLineBreak(u"a\r\nb\r\n"_s, u"\n"_s), u"a\nb\n"_s);
    EXPECT_EQ(WithLineBreak(u"a\r\nb\r\n"_s, u"\r\n"_s), u"a\r\nb\r\n"_s);
}
