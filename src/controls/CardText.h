#pragma once

#include <QString>
#include <QStringList>

class QFont;
class QFontMetrics;

// Line layout and ellipsis rules of the link label, kept apart from the widget.

/**
 * The lines a caption occupies at the given width: explicit line breaks always
 * start a new line; with wordWrap, lines are also broken between words (a word
 * wider than the width is broken inside, as a multi-line edit does).
 */
QStringList CardTextLines(const QFont &font, const QString &text, int width, bool wordWrap);

/**
 * One line cut to the width with an ellipsis: at the end, or, with
 * pathEllipsis, inside the folder part of a path so that the name after the
 * last '/' (or '\') stays visible. A line that fits is returned unchanged.
 */
QString ElideCardLine(const QFontMetrics &metrics, const QString &line, int width, bool pathEllipsis);
