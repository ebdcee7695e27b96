#pragma once

#include <QString>
#include <QTemporaryDir>

/**
 * @short Points the program's data folder (and HOME) at a fresh temporary folder
 * for the life of the object, and runs the start-up again.
 */
class TempDataFolder {
public:
    TempDataFolder();
    ~TempDataFolder();
    TempDataFolder(const TempDataFolder &) = delete;
    TempDataFolder &operator=(const TempDataFolder &) = delete;

    /** The temporary root (XDG_DATA_HOME and HOME live below it). */
    QString Root() const { return m_dir.path(); }
    /** A path below the root. */
    QString Path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldDataHome;
    QByteArray m_oldHome;
};
