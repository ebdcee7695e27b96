#include "EdSpin.h"

#include <algorithm>
#include <limits>

int SpinTextValue(const QString &text, int fallback)
{
    qsizetype end = text.size();
    while (end > 0 && !(text.at(end - 1) >= QLatin1Char('0') && text.at(end - 1) <= QLatin1Char('9')))
        --end;
    qsizetype i = 0;
    bool negative = false;
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == end)
        return fallback;
    // Accumulated in 64 bits and held at the 32-bit limits: an over-long number is simply very large.
    constexpr qint64 limit = qint64{std::numeric_limits<int>::max()} + 1;
    qint64 magnitude = 0;
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return fallback;
        magnitude = std::min(magnitude * 10 + (c.unicode() - u'0'), limit);
    }
    if (negative)
        return static_cast<int>(-magnitude);
    return static_cast<int>(std::min(magnitude, limit - 1));
}

int ClampSpin(int value, int min, int max)
{
    if (min == max)
        return value;
    if (value < min)
        return min;
    if (value > max)
        return max;
    return value;
}
