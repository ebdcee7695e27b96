#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The settings editor's working list of attachment paths, apart from the list box.

/**
 * Appends each path the list does not hold yet, in the given order. Paths are
 * compared exactly: "a.PDF" and "a.pdf" are two files on this file system.
 */
void AddAttachments(QStringList &list, const QStringList &paths);

/**
 * Removes the rows given (in any order; rows outside the list are ignored)
 * and returns the row to select afterwards: the lowest removed row, or the new
 * last row when that one is past the end; -1 when nothing was removed or the
 * list is now empty.
 */
int RemoveAttachments(QStringList &list, QList<int> rows);
