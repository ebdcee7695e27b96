#include "FirstRun.h"

#include "AppError.h"
#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString ConfigFile = u"bry_cnfg.ini"_s;
const QString MessageFile = u"bry_msg.bxq"_s;

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool CopyOver(const QString &from, const QString &to, bool privateFile)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return false;
    try {
        WriteFileAtomic(to, bytes, privateFile);
    } catch (const AppError &) {
        return false;
    }
    return true;
}

} // namespace

bool InstallDataFolder(const QString &dataDir)
{
    const QString config = QDir(dataDir).filePath(ConfigFile);
    if (QFileInfo::exists(config) || !QDir().mkpath(dataDir))
        return false;
    QFile file(config);
    // NewOnly: a second start racing this one must not empty a file just written.
    // The configuration will hold the scrambled password: the user's eyes only.
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.setPermissions(OwnerOnly);
}

bool TakeOverOlderInstallation(const QString &dataDir, const QString &olderDir)
{
    const QDir data(dataDir);
    const QDir older(olderDir);
    const QFileInfo config(data.filePath(ConfigFile));
    if (!config.exists() || config.size() != 0 || !QFileInfo::exists(older.filePath(ConfigFile)))
        return false;
    // The same folder (the program run from its data folder) holds nothing older.
    if (QFileInfo(dataDir).canonicalFilePath() == QFileInfo(olderDir).canonicalFilePath())
        return false;
    if (!CopyOver(older.filePath(ConfigFile), data.filePath(ConfigFile), true))
        return false;
    if (QFileInfo::exists(older.filePath(MessageFile)))
        CopyOver(older.filePath(MessageFile), data.filePath(MessageFile), false);
    return true;
}
