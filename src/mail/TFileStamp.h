#pragma once

#include <QDateTime>
#include <QString>

/**
 * @short What tells a later look at a file whether it has changed on disk:
 * its path, size and modification time.
 */
struct TFileStamp {
    QString Path;
    /** -1: the file did not exist. */
    qint64 Size = -1;
    QDateTime Modified;

    /** The stamp the file has now. */
    static TFileStamp Of(const QString &path);

    bool operator==(const TFileStamp &) const = default;
};
