#pragma once

#include <QByteArray>

class QTextDocument;

/**
 * Fills the document with rich text, in the part of the format the program's
 * own welcome file uses: paragraphs (\par, \pard, \line, \tab, \ql \qc \qr
 * \qj, \sb and \sa spacing), bold, italic and underline, font sizes (\fs),
 * the colour table with \cf, \'hh bytes (Windows-1252), \uN characters with
 * \uc, and the usual typographic symbols. Groups the reader does not know the
 * meaning of (font table, style sheet, pictures, "\*" destinations) are
 * skipped with everything in them; unknown control words are ignored.
 * Sizes and spacings beyond what a text box can show are cut to bounds, and
 * reading takes time in proportion to the text, however it is formatted.
 */
void ReadRtf(const QByteArray &rtf, QTextDocument &document);
