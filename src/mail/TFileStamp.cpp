#include "TFileStamp.h"

#include <QFileInfo>

TFileStamp TFileStamp::Of(const QString &path)
{
    TFileStamp stamp;
    stamp.Path = path;
    const QFileInfo info(path);
    if (!path.isEmpty() && info.isFile()) {
        stamp.Size = info.size();
        stamp.Modified = info.lastModified().toUTC();
    }
    return stamp;
}
