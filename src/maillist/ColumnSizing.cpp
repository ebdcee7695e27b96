#include "ColumnSizing.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int TextPadding = 24;
constexpr double MinRatio = 0.00001;

} // namespace

TColumnWidths MeasureColumns(const std::vector<TRecipient> &rows, int paramColumns, const TextWidthFn &textWidth)
{
    TColumnWidths widths{};
    const int n = std::clamp(paramColumns, 0, MaxParams);
    const auto measure = [&](size_t j, const QString &text) {
        widths[j] = std::max(widths[j], textWidth(text) + TextPadding);
    };
    const QString none;
    for (const TRecipient &r : rows) {
        measure(0, r.Address);
        for (int k = 0; k < n; ++k)
            measure(size_t(k) + 1, k < r.Params.size() ? r.Params[k] : none);
    }
    return widths;
}

std::vector<int> SizeColumns(const TColumnWidths &widths, int paramColumns, int columnCount, int listWidth,
                             int itemCount, int scrollBarWidth)
{
    if (columnCount <= 1)
        return {};
    int available = listWidth - StatusColumnWidth;
    if (itemCount > RowsWithoutScrollBar)
        available -= scrollBarWidth + 1;
    if (available < 1)
        return {};

    const int n = std::clamp(paramColumns, 0, MaxParams);
    double total = 0;
    for (int j = 0; j <= n; ++j)
        total += widths[size_t(j)];
    const double ratio = std::max(total / available, MinRatio);

    std::vector<int> columns(size_t(columnCount), 0);
    columns[0] = StatusColumnWidth;
    int sum = 0;
    for (int k = 0; k <= std::min(n - 1, columnCount - 3); ++k) {
        const int c = widths[size_t(k)];
        const int width = std::min(std::max(int(std::nearbyint(c / ratio)), StatusColumnWidth), c);
        columns[size_t(k) + 1] = width;
        sum += width;
    }
    columns[size_t(columnCount) - 1] = available - sum;
    return columns;
}

TTextWidthCache::TTextWidthCache(const QFontMetrics &metrics)
    : m_metrics(metrics)
{
    m_latin1.fill(-1);
}

int TTextWidthCache::Width(const QString &text)
{
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < m_latin1.size()) {
            int &w = m_latin1[u];
            if (w < 0)
                w = m_metrics.horizontalAdvance(c);
            width += w;
        } else {
            const auto it = m_other.find(u);
            if (it != m_other.end()) {
                width += it->second;
            } else {
                const int w = m_metrics.horizontalAdvance(c);
                m_other.emplace(u, w);
                width += w;
            }
        }
    }
    return width;
}
