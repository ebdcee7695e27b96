#pragma once

#include "TRecipient.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

class TRecipientModel;

// The results journal "bry_jlst.jnl" beside the job-list file. A job appends
// every result it records, one short line each, and forces it to the disk
// before the next e-mail goes out; writing the whole list after every result
// would cost a full rewrite of up to 20000 rows each time. At every reconnect
// pause and at the end of a job the list is written whole and the journal
// removed. A journal found at start-up belongs to a job that never got that
// far: its results go into the list, which is then saved.
//
// A line: row|status|address|status text|checksum, ended by LF, in UTF-8.
// The checksum is the CRC-32 (8 hex digits) of everything before its "|".
// Only a complete line with a matching checksum counts, so a line cut short
// by a crash is ignored; the address ties the line to its recipient, so a
// journal never writes into a row that holds somebody else.

/** @short One recorded result as the journal keeps it. */
struct TJournalEntry {
    int Row = 0;
    RecipientStatus Status = RecipientStatus::NotSent;
    QString Address;
    QString StatusText;

    bool operator==(const TJournalEntry &) const = default;
};

/** The journal of the job-list file in the data folder. */
QString JobListJournalPath();

/** One journal line, LF included. */
QByteArray FormatJournalLine(const TJournalEntry &entry);
/** The entry of one line without its LF; none when the line is damaged or cut short. */
std::optional<TJournalEntry> ParseJournalLine(QByteArrayView line);

/**
 * Appends the entries in one write and waits until they are on the disk
 * (fdatasync, and the folder too when the write created the file). Throws
 * AppError("Unable to write to <file>"); the file then keeps the lines of
 * earlier calls and nothing of this one.
 */
void AppendJournal(const QString &fileName, const std::vector<TJournalEntry> &entries);

/** The intact entries of a journal file, in order; none when it is missing or unreadable. */
std::vector<TJournalEntry> ReadJournal(const QString &fileName);

/**
 * Writes each entry's result into its row, later entries over earlier ones,
 * when that row still holds the entry's address. Returns the entries applied.
 */
int ApplyJournal(TRecipientModel &model, const std::vector<TJournalEntry> &entries);

/** Deletes the journal; a missing one is fine. Throws AppError("Unable to delete <file>"). */
void RemoveJournal(const QString &fileName);
