#pragma once

#include "TRecipient.h"

#include <QString>
#include <QStringList>

#include <vector>

// The job-list file "bry_jlst.bxq": the mailing list with every recipient's
// result, one line per recipient: status|address|parameter 1..N|status text.

/** @short The rows of a job list with their parameter count. */
struct TJobList {
    int ParamColumns = 0;
    std::vector<TRecipient> Rows;
};

/** The job-list file in the data folder. */
QString JobListPath();

/**
 * Rows from job-list lines. N comes from the first line ("|" count - 2, 0..9)
 * and applies to every line; a line's last field is its status text wherever
 * it stands, so a short line gets empty parameters and a long one loses its
 * surplus parameters, never its status text. A line without a status text
 * gets the one of its status. Blank lines are skipped; at most 20000 rows.
 * step is called once per line.
 */
TJobList ParseJobList(const QStringList &lines, const ProgressStep &step = {});

/** The file's text: one line per row, each ended by CR LF; no rows give an empty text. */
QString FormatJobList(const std::vector<TRecipient> &rows);

/** Reads the file's lines; a missing or unreadable file gives none. */
QStringList ReadJobListLines(const QString &fileName);

/** Writes the rows atomically; throws AppError when the file cannot be written. */
void WriteJobList(const QString &fileName, const std::vector<TRecipient> &rows);
