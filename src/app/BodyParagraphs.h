#pragma once

#include <QList>
#include <QStringView>

#include <climits>

class QTextDocument;

// The message view shows a new body for every recipient of a job, and most of
// its paragraphs are the same from one recipient to the next. Replacing only
// the paragraphs that differ keeps the layout of all the others: showing the
// next recipient then lays out and repaints the lines that carry his values,
// not the whole body.

/** The paragraphs of a text: CR LF, CR, LF and the paragraph separator each end one. */
QList<QStringView> BodyParagraphs(QStringView text);

/**
 * Makes the document hold text, paragraph for paragraph, touching only the
 * paragraphs that differ. Where their count stays the same each differing
 * paragraph is replaced alone; otherwise the run between the paragraphs shared
 * at the start and at the end is replaced at once.
 *
 * With a plain-text layout, a differing paragraph after lastShown (the last
 * one the view shows) is not laid out now: the layout does that when it comes
 * into view, and until then counts it with the lines it had.
 */
void ReplaceChangedParagraphs(QTextDocument &document, QStringView text, int lastShown = INT_MAX);
