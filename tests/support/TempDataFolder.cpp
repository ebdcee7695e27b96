#include "TempDataFolder.h"

#include "StartupEnv.h"

#include <QDir>

TempDataFolder::TempDataFolder()
    : m_oldDataHome(qgetenv("XDG_DATA_HOME"))
    , m_oldHome(qgetenv("HOME"))
{
    QDir().mkpath(Path(QStringLiteral("home")));
    qputenv("XDG_DATA_HOME", Path(QStringLiteral("data")).toUtf8());
    qputenv("HOME", Path(QStringLiteral("home")).toUtf8());
    InitStartup();
}

TempDataFolder::~TempDataFolder()
{
    qputenv("XDG_DATA_HOME", m_oldDataHome);
    qputenv("HOME", m_oldHome);
}
