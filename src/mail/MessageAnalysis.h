#pragma once

#include "TParameter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Reading and analysing a message text. T is the message as one string, every
// line followed by CR LF; positions are 0-based QString indices into it.

/** T of a list of lines: every line followed by CR LF, the last one too. */
QString MessageLinesToText(const QStringList &lines);

/** A message text with the name of the character set its bytes were read in. */
struct DecodedMessage {
    QString Text;
    QByteArray Encoding; // "UTF-8", "UTF-16LE", "UTF-16BE", "windows-1252" or the text's own charset= name
    bool Bom = false;    // the bytes began with a byte order mark
};
/**
 * Decodes message file bytes: UTF-16 or UTF-8 after a byte-order mark; UTF-8
 * when they are valid UTF-8; otherwise in the character set the text names
 * itself (charset=) when it is one the system knows, else Windows-1252.
 * A reading is taken only when writing its text back gives the same bytes, so
 * a message saved unchanged stays the file it was: only the first BOM is
 * skipped (a second is a character of the text), and bytes that do not fit a
 * named set (an odd count for UTF-16) read as Windows-1252.
 */
DecodedMessage DecodeMessageBytes(const QByteArray &bytes);
/**
 * Encodes a message text T (every line ended by CR LF) the way an existing
 * file was written (its line breaks, its encoding found by DecodeMessageBytes,
 * and its BOM), so that saving back into a user's file keeps its form; UTF-8
 * when the text does not fit that set.
 */
QByteArray EncodeMessageLike(const QString &t, const QByteArray &existingBytes);

/** "<HTML" or "</HTML>" anywhere, in any letter case. */
bool IsHtmlMessage(const QString &t);
/**
 * The value of the first non-empty "charset=" inside a tag (either a bare value
 * ended by '"', ';' or '>', or a quoted one), without blanks or line breaks at
 * either end; empty when there is none or it is shorter than 3 or longer than
 * 32 characters.
 */
QString FindHtmlCharset(const QString &t);
/** Every placeholder of T, in strictly descending order of Pos, with its drop span. */
std::vector<TParameter> FindPlaceholders(const QString &t, bool isHtml);
