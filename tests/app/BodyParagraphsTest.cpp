#include "BodyParagraphs.h"

#include <QPlainTextDocumentLayout>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString Shown(QStringView text)
{
    QStringList lines;
    for (const QStringView line : BodyParagraphs(text))
        lines.append(line.toString());
    return lines.join(u'\n');
}

QList<int> Revisions(const QTextDocument &document)
{
    QList<int> revisions;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        revisions.append(block.revision());
    return revisions;
}

} // namespace

TEST(BodyParagraphsTest, EveryLineEndEndsAParagraph)
{
    EXPECT_EQ(BodyParagraphs(u"a\r\nb\rc\nd\u2029e"), (QList<QStringView>{u"a", u"b", u"c", u"d", u"e"}));
    EXPECT_EQ(BodyParagraphs(u"a\r\n\r\n"), (QList<QStringView>{u"a", u"", u""}));
    EXPECT_EQ(BodyParagraphs(u""), QList<QStringView>{u""});
}

TEST(BodyParagraphsTest, OnlyTheParagraphsThatDifferAreTouchedAndOnlyThoseShownLaidOut)
{
    // Names much shorter than before, at a paragraph's end too: still no repaint of the whole view.
    const QString before =
        u"Dear Alexander,\r\n\r\nYour town: Rio de Janeiro.\r\nThe same for all.\r\nBye Alexander\r\n"_s;
    const QString after = u"Dear Bo,\r\n\r\nYour town: Ely.\r\nThe same for all.\r\nBye Bo\r\n"_s;
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    auto *layout = new QPlainTextDocumentLayout(&document);
    document.setDocumentLayout(layout);
    ReplaceChangedParagraphs(document, before);
    EXPECT_EQ(document.toPlainText(), Shown(before));
    const QList<int> old = Revisions(document);

    // The view shows the first three paragraphs.
    const QSignalSpy wholeView(layout, &QAbstractTextDocumentLayout::update);
    ReplaceChangedParagraphs(document, after, 2);
    EXPECT_EQ(document.toPlainText(), Shown(after));
    EXPECT_EQ(wholeView.count(), 0);
    const QList<int> now = Revisions(document);
    ASSERT_EQ(now.size(), old.size());
    for (qsizetype i = 0; i < now.size(); ++i)
        EXPECT_EQ(now[i] != old[i], i == 0 || i == 2 || i == 4) << i;
    EXPECT_GT(document.findBlockByNumber(2).layout()->lineCount(), 0);
    EXPECT_EQ(document.findBlockByNumber(4).layout()->lineCount(), 0);
}

TEST(BodyParagraphsTest, AnyTextFollowsAnyOther)
{
    // Longer and shorter values at the start, in the middle and at the end of
    // a paragraph, paragraphs that go or come (a line dropped for an empty
    // value), and texts with nothing in common.
    const QList<QString> texts{
        u""_s,
        u"\r\n"_s,
        u"Dear Ann,\r\nHello.\r\n"_s,
        u"Dear Christina,\r\nHello.\r\n"_s,
        u"Dear Ann,\r\nYour town: Graz\r\nHello.\r\n"_s,
        u"Dear Ann,\r\nYour town: San Francisco\r\nHello.\r\nBye\r\n"_s,
        u"Ann, dear\r\nHello.\r\n"_s,
        u"Hello.\r\n"_s,
        u"Something else entirely"_s,
        u"a\rb\nc\u2029d"_s,
    };
    for (const QString &from : texts) {
        for (const QString &to : texts) {
            QTextDocument document;
            document.setUndoRedoEnabled(false);
            ReplaceChangedParagraphs(document, from);
            ReplaceChangedParagraphs(document, to);
            EXPECT_EQ(document.toPlainText(), Shown(to)) << from.toStdString() << " -> " << to.toStdString();
        }
    }
}
