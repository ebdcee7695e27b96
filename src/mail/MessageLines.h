#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The message's lines as the text editor shows them and as they go back into
// the user's file: a round trip adds and loses nothing.

/**
 * The editor's text of the message lines: each line followed by "\n", so
 * that MessageEditorLines gives the same lines back (an empty last line too).
 */
QString MessageEditorText(const QStringList &lines);

/**
 * The message lines of an editor's text: split at CR LF, CR, LF and the
 * Unicode line and paragraph separators; a final break makes no empty last line.
 */
QStringList MessageEditorLines(QStringView text);

/** The line break a text uses: that of its first line break, CR LF when it has none. */
QString LineBreakOf(QStringView text);

/** A message text T (every line ended by CR LF) with every CR LF replaced by lineBreak. */
QString WithLineBreak(const QString &t, const QString &lineBreak);
