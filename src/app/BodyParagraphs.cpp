#include "BodyParagraphs.h"

#include <QPlainTextDocumentLayout>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// Replaces the characters from..to of the document by text, as one change. In
// an edit block the cursor does not lay the paragraph out to find its x.
void Replace(QTextDocument &document, int from, int to, const QString &text)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    cursor.endEditBlock();
}

// Makes one paragraph read text, changing only the characters that differ.
//
// The plain-text layout lays a changed paragraph out again at once and repaints
// just that paragraph, as long as the change, counted as its position plus the
// characters removed plus the characters added, ends inside the paragraph;
// otherwise it drops the layouts up to there and repaints the whole view. A
// change that fits is made at once. Otherwise the new characters go in behind
// the old ones first, and the old ones are removed afterwards, in pieces of at
// most half of what follows them, so that each piece still ends inside.
void ReplaceInParagraph(QTextDocument &document, const QTextBlock &block, QStringView text)
{
    const QString old = block.text();
    if (old == text)
        return;
    const qsizetype shorter = std::min(old.size(), text.size());
    qsizetype head = 0;
    while (head < shorter && old[head] == text[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && old[old.size() - 1 - tail] == text[text.size() - 1 - tail])
        ++tail;
    const int start = block.position() + int(head);
    int removed = int(old.size() - head - tail);
    const int added = int(text.size() - head - tail);
    const QString inserted = text.sliced(head, added).toString();
    if (removed <= tail + 1) {
        Replace(document, start, start + removed, inserted);
        return;
    }
    if (added > 0)
        Replace(document, start + removed, start + removed, inserted);
    while (removed > 0) {
        const int piece = std::min(removed, (removed + added + int(tail) + 1) / 2);
        Replace(document, start, start + piece, QString());
        removed -= piece;
    }
}

// A paragraph out of view is replaced whole. The plain-text layout takes a
// change counted past the paragraph's end (position plus characters removed
// plus characters added) as one of several paragraphs: it drops their layouts
// to make them when they show, keeps their line counts, and asks for a repaint
// of the whole view. Nothing in view changed, so that request is held back.
// A paragraph of fewer than two characters would be laid out at once anyway:
// it takes the ordinary way.
void ReplaceUnshownParagraph(QTextDocument &document, QPlainTextDocumentLayout &layout, const QTextBlock &block,
                             QStringView text)
{
    const QString old = block.text();
    if (old == text)
        return;
    if (old.size() < 2) {
        ReplaceInParagraph(document, block, text);
        return;
    }
    const QSignalBlocker quiet(layout);
    Replace(document, block.position(), block.position() + int(old.size()), text.toString());
}

QString Joined(const QList<QStringView> &lines, qsizetype first, qsizetype end)
{
    QString text;
    for (qsizetype i = first; i < end; ++i) {
        if (i > first)
            text += u'\n';
        text += lines[i];
    }
    return text;
}

} // namespace

QList<QStringView> BodyParagraphs(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n' && c != QChar::ParagraphSeparator)
            continue;
        lines.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.sliced(start));
    return lines;
}

void ReplaceChangedParagraphs(QTextDocument &document, QStringView text, int lastShown)
{
    const QList<QStringView> lines = BodyParagraphs(text);
    const qsizetype oldCount = document.blockCount();
    const qsizetype newCount = lines.size();
    if (oldCount == newCount) {
        auto *plain = qobject_cast<QPlainTextDocumentLayout *>(document.documentLayout());
        QTextBlock block = document.begin();
        for (qsizetype i = 0; i < newCount; ++i, block = block.next()) {
            if (plain && i > lastShown)
                ReplaceUnshownParagraph(document, *plain, block, lines[i]);
            else
                ReplaceInParagraph(document, block, lines[i]);
        }
        return;
    }

    // Paragraphs shared at the start and at the end stay.
    const auto same = [&](qsizetype block, qsizetype line) {
        return document.findBlockByNumber(int(block)).text() == lines[line];
    };
    const qsizetype shorter = std::min(oldCount, newCount);
    qsizetype head = 0;
    while (head < shorter && same(head, head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && same(oldCount - 1 - tail, newCount - 1 - tail))
        ++tail;
    // The counts differ, so one side has paragraphs between them; the run
    // replaced takes in one shared paragraph when the other side has none.
    if (head + tail == shorter) {
        if (head > 0)
            --head;
        else
            --tail;
    }
    const QTextBlock first = document.findBlockByNumber(int(head));
    const QTextBlock last = document.findBlockByNumber(int(oldCount - 1 - tail));
    Replace(document, first.position(), last.position() + last.length() - 1, Joined(lines, head, newCount - tail));
}
