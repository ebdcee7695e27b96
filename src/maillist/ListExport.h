#pragma once

#include "TRecipient.h"

#include <QString>

#include <vector>

// The list and log exports: CSV text, "," between fields, one line per row
// ended by CR LF, no heading.

/**
 * The export of the given rows (indices into rows, in the order given; all
 * rows when null). Each line is the address, the N parameters and, for the
 * log, the status text; every field is quoted as CSV needs it, the address
 * too, so that the file imports again as the same list.
 */
QString FormatExport(const std::vector<TRecipient> &rows, int paramColumns, bool log,
                     const std::vector<int> *selected = nullptr);
