#pragma once

#include <QStringList>

class QTextDocument;

// The message's lines in the text editor, one paragraph each, and back: a
// round trip adds and loses nothing. A line or paragraph separator inside a
// line stays that character; one that the user types or pastes breaks the
// line, as in a plain text box.

/**
 * Fills the document with the message lines, each followed by a paragraph
 * break (so that an empty last line comes back too). Nothing to undo.
 */
void SetEditorLines(QTextDocument &document, const QStringList &lines);

/** The message lines the document holds; its final break makes no empty last line. */
QStringList EditorLines(const QTextDocument &document);
