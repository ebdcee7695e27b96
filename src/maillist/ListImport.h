#pragma once

#include "TRecipient.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

// The steps of a mailing-list import that need no window: checking the lines,
// pulling addresses out of any text, and turning CSV lines into job-list lines.

/** The error text of a file without a single usable line. */
QString NoAddressesMessage();

/** @short What the check of an import file's lines found. */
struct TImportCheck {
    int Dropped = 0;         // lines without "@", deleted
    bool Suspicious = false; // the file does not look like a list
};

/**
 * Deletes every line without "@" and tells whether the file looks like
 * something other than a list: a kept line over 250 characters, more lines
 * dropped than half of those kept, or more than three "@" in one of the first
 * five kept lines. Throws AppError(NoAddressesMessage()) when no line is left.
 */
TImportCheck CheckImportLines(QStringList &lines);

/** True for the characters an extracted address is made of. */
bool IsEmailChar(QChar c);

/**
 * The distinct e-mail addresses found anywhere in the text of the lines, in
 * the order of their first appearance (letter case ignored for "distinct").
 * A candidate is a run of address characters around one "@", without dots at
 * either end; its domain must hold a dot and must not begin with one.
 * step is called once per character of the text.
 */
QStringList ExtractAddresses(const QStringList &lines, const ProgressStep &step = {});

/** Cuts the lines to 20000; returns how many there were when cut, else 0. */
int TruncateImport(QStringList &lines);

/** TAB, "," or ";": the first of them in the line after its first character; "," when none. */
QChar DetectDelimiter(QStringView firstLine);

/**
 * Replaces CSV lines by job-list lines ("0|address|parameters|Not yet sent"),
 * in the file's order, and deletes repeated lines (letter case ignored; the
 * first one of the file is kept). Returns the number deleted. The delimiter
 * is detected from the first line; N is the count of delimiters outside
 * quotes (at most 9) in the line that sorts first. step is called once per
 * distinct line.
 */
int BuildJobLines(QStringList &lines, const ProgressStep &step = {});
