#include "StartupEnv.h"

#include "FileDialogs.h"
#include "TextHelpers.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <array>

TWorkArea WorkArea;

namespace {

QString g_programDirNoBackslash;
std::array<QString, 5> g_specialFolders;

QString Writable(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location);
}

} // namespace

QString ProgramDirNoBackslash()
{
    return g_programDirNoBackslash;
}

QString ProgramDir()
{
    return IncludeTrailingBackslash(g_programDirNoBackslash);
}

QString SpecialFolder(SpecialFolderId id)
{
    return id < g_specialFolders.size() ? g_specialFolders[id] : QString();
}

std::uint8_t DefaultCharset()
{
    return 1;
}

std::uint8_t GetWindowsVersion()
{
    return 6;
}

void InitStartup()
{
    // The path is used as the system gives it: letter case matters here.
    const QString data = Writable(QStandardPaths::GenericDataLocation);
    g_programDirNoBackslash = ExcludeTrailingBackslash(JoinPath(data, QStringLiteral("velko-courierline")));
    QDir().mkpath(g_programDirNoBackslash);
    InitEnvironment();
    ResetFileDialogFolders();
}

void InitEnvironment()
{
    WorkArea = {};
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect r = screen->availableGeometry();
            WorkArea = {r.left(), r.top(), r.width(), r.height()};
        }
    }

    // There are no shared documents or shared data folders for one user's
    // program here, and its own settings live in the data folder: ids 2 to 4
    // take the data folder itself, which exists already. A folder of its own
    // would stay empty for good, as nothing is ever stored in it.
    g_specialFolders = {Writable(QStandardPaths::DocumentsLocation), Writable(QStandardPaths::GenericDataLocation),
                        QString(), QString(), QString()};
    for (QString &folder : g_specialFolders) {
        if (folder.isEmpty())
            folder = ProgramDirNoBackslash();
        // A folder that cannot be created keeps its path; nothing is shown.
        QDir().mkpath(folder);
    }
}
