#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class QLocale;

// Small text, CSV, time-format and path helpers shared by the whole program.

/** -1, 0 or 1 as a is below, equal to or above b (sort callbacks). */
int CompareInt(int a, int b);

/** Trims every character up to the blank (blanks and control characters) from both ends. */
QString TrimControls(QStringView text);
/** The same, as a view into text (no copy). */
QStringView TrimControlsView(QStringView text);

/** Splits at CR LF, CR or LF; a final line break does not make an empty last line. */
QStringList SplitLines(const QString &text);

/** Field n (1-based; n <= 1 gives the first) of text split at separator, trimmed of characters <= ' '. */
QString ExtractField(const QString &text, int n, QChar separator);

/** text := text + separator + item; an empty item changes nothing, an empty text becomes item. */
void AppendWithSeparator(QString &text, const QString &item, const QString &separator);

/** Doubles the double quotes and wraps the field in quotes when it holds the separator, a quote, CR or LF. */
void QuoteCsvField(QString &field, QChar separator);

/** Inverse of QuoteCsvField: drops an opening and a closing quote, then halves runs of quotes. */
QString UnquoteCsvField(const QString &field);

/**
 * The locale's long time format without its time-zone letters ('t' outside
 * quotes) and the empty brackets a bracketed zone leaves, blanks simplified.
 */
QString LongTimeFormatWithoutZone(const QLocale &locale);

// The program's paths use '/' as separator; the names are kept from the
// original, where the separator was a backslash.

/** Appends '/' unless the path is empty or already ends in one. */
QString IncludeTrailingBackslash(const QString &path);
/** Removes one trailing '/' unless the path is the root "/". */
QString ExcludeTrailingBackslash(const QString &path);
/** folder + '/' + name, with one leading '/' of name removed; an empty folder gives the name alone. */
QString JoinPath(const QString &folder, const QString &name);

/**
 * The path with its extension (after the last '.' of the file name) replaced
 * by ext (given without the dot), or ext added when the name has none.
 */
QString ForceExtension(const QString &path, const QString &ext);
/** The file name without its folder and its extension. */
QString JustName(const QString &path);
/** The file name of a path: what follows its last "/". */
QString JustFileName(const QString &path);

/** Size of a file or folder entry in bytes; 0 when it does not exist. */
std::int64_t GetFileSize64(const QString &fileName);
