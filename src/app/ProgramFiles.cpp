#include "ProgramFiles.h"

#include "AppError.h"
#include "AtomicFile.h"
#include "TextHelpers.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Resource(const QString &name)
{
    return FileBytes(u":/program/"_s + name);
}

void Install(const QString &path, const QByteArray &bytes)
{
    try {
        WriteFileAtomic(path, bytes);
    } catch (const AppError &) {
        // Not needed to start: a missing help page is reported when it is opened.
    }
}

} // namespace

QByteArray ShippedHelpPage()
{
    return Resource(u"bry_help.htm"_s);
}

QByteArray ShippedWelcomeText()
{
    return Resource(u"bry_intr.rtf"_s);
}

void InstallProgramFiles(const QString &dataDir, bool firstRun)
{
    // The help of this version, as an update would install it.
    const QString help = JoinPath(dataDir, u"bry_help.htm"_s);
    const QByteArray page = ShippedHelpPage();
    if (FileBytes(help) != page)
        Install(help, page);
    if (firstRun)
        Install(JoinPath(dataDir, u"bry_intr.rtf"_s), ShippedWelcomeText());
}
