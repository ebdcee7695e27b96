#include "AttachmentList.h"

#include <algorithm>

void AddAttachments(QStringList &list, const QStringList &paths)
{
    for (const QString &path : paths)
        if (!path.isEmpty() && !list.contains(path, Qt::CaseSensitive))
            list.append(path);
}

int RemoveAttachments(QStringList &list, QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    int lowest = -1;
    int previous = -1;
    for (const int row : rows) {
        if (row < 0 || row >= list.size() || row == previous)
            continue;
        list.removeAt(row);
        lowest = previous = row;
    }
    if (lowest < 0)
        return -1;
    return std::min(lowest, int(list.size()) - 1);
}
