#pragma once

#include <QByteArray>
#include <QString>

// Text files of the program are UTF-8. Files written by older Windows versions
// of the program are in the Windows-1252 code page; reading tells them apart
// by whether the bytes are valid UTF-8.

/**
 * Decodes file bytes: a UTF-8 BOM is skipped; UTF-16 with a byte-order mark is
 * read as such; other bytes that are not valid UTF-8 read as Windows-1252.
 * Only the first BOM is taken as one: a second is a character of the text.
 */
QString DecodeText(const QByteArray &bytes);

/** True when the bytes (after an optional BOM) are valid UTF-8. */
bool IsValidUtf8(const QByteArray &bytes);

/** Windows-1252 bytes to text (the five unassigned bytes map to the same code points). */
QString DecodeWindows1252(const QByteArray &bytes);

/** Reads a whole text file with DecodeText; throws AppError when it cannot be read. */
QString ReadTextFile(const QString &fileName);

/**
 * Text as UTF-8 bytes, with a BOM when asked, and always when the text itself
 * begins with U+FEFF: a reader would otherwise take that character for the BOM.
 */
QByteArray EncodeUtf8(const QString &text, bool bom = false);

/** Writes text as UTF-8 with WriteFileAtomic; throws AppError("Unable to write to %s"). */
void WriteTextFileAtomic(const QString &fileName, const QString &text, bool privateFile = false);
