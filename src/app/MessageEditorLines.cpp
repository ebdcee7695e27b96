#include "MessageEditorLines.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The editor takes a paragraph separator (and the frame marks) for a break
// between paragraphs, and a line separator for a typed Shift+Enter. A line's
// own are held as line separators marked with the character they stand for.
constexpr int KeptCharacter = QTextFormat::UserProperty;

bool IsBreakInEditor(QChar c)
{
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == u'\uFDD0' || c == u'\uFDD1';
}

} // namespace

void SetEditorLines(QTextDocument &document, const QStringList &lines)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const QString &line : lines) {
        qsizetype start = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (!IsBreakInEditor(line[i]))
                continue;
            cursor.insertText(line.mid(start, i - start), QTextCharFormat());
            QTextCharFormat kept;
            kept.setProperty(KeptCharacter, int(line[i].unicode()));
            cursor.insertText(QString(QChar::LineSeparator), kept);
            start = i + 1;
        }
        cursor.insertText(line.mid(start), QTextCharFormat());
        cursor.insertBlock();
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

QStringList EditorLines(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const int kept = it.fragment().charFormat().intProperty(KeptCharacter);
            for (const QChar c : it.fragment().text()) {
                if (c != QChar::LineSeparator) {
                    line += c;
                } else if (kept != 0) {
                    line += QChar(char16_t(kept));
                } else {
                    lines.append(line);
                    line.clear();
                }
            }
        }
        lines.append(line);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
