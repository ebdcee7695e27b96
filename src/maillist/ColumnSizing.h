#pragma once

#include "TRecipient.h"

#include <QFontMetrics>
#include <QString>

#include <array>
#include <functional>
#include <unordered_map>
#include <vector>

// How wide the list's columns are: each data column as wide as its widest
// text plus 24 px, shrunk in proportion when they do not all fit.

/** Widest text + 24 px of each data column: 0 the address, 1..9 the parameters. */
using TColumnWidths = std::array<int, 10>;

/** The status icon column. */
inline constexpr int StatusColumnWidth = 18;
/** Rows that fit without a vertical scroll bar. */
inline constexpr int RowsWithoutScrollBar = 13;

using TextWidthFn = std::function<int(const QString &text)>;

/** Measures every recipient's address and parameters. */
TColumnWidths MeasureColumns(const std::vector<TRecipient> &rows, int paramColumns, const TextWidthFn &textWidth);

/**
 * The widths of all columnCount columns of a list listWidth wide holding
 * itemCount rows, or none when there is nothing to size (one column, or no
 * room left). Data columns get their measured width, shrunk in proportion to
 * fit (at least 18 px); the last column takes whatever is left.
 */
std::vector<int> SizeColumns(const TColumnWidths &widths, int paramColumns, int columnCount, int listWidth,
                             int itemCount, int scrollBarWidth);

/**
 * @short Text widths of one font, summed from cached character advances: a
 * list of 20000 rows is measured in a few milliseconds. Kerning is ignored,
 * which is far below what column sizing can show.
 */
class TTextWidthCache {
public:
    explicit TTextWidthCache(const QFontMetrics &metrics);
    int Width(const QString &text);

private:
    QFontMetrics m_metrics;
    std::array<int, 256> m_latin1;
    std::unordered_map<char16_t, int> m_other;
};
