#include "BodyParagraphs.h"

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
// otherwise it drops the layouts up to there and repaints the whole view. So
// the new characters go in behind the old ones first, and the old ones are
// removed afterwards, with the new ones still behind them.
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
    const int removed = int(old.size() - head - tail);
    const int added = int(text.size() - head - tail);
    if (removed > added + tail + 1) {
        // Much shorter at the paragraph's end: the whole paragraph at once.
        Replace(document, block.position(), block.position() + int(old.size()), text.toString());
        return;
    }
    if (added > 0)
        Replace(document, start + removed, start + removed, text.sliced(head, added).toString());
    if (removed > 0)
        Replace(document, start, start + removed, QString());
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

void ReplaceChangedParagraphs(QTextDocument &document, QStringView text)
{
    const QList<QStringView> lines = BodyParagraphs(text);
    const qsizetype oldCount = document.blockCount();
    const qsizetype newCount = lines.size();
    if (oldCount == newCount) {
        QTextBlock block = document.begin();
        for (qsizetype i = 0; i < newCount; ++i, block = block.next())
            ReplaceInParagraph(document, block, lines[i]);
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
