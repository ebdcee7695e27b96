#include "ProgramFiles.h"

#include "AtomicFile.h"
#include "RtfReader.h"
#include "TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(ProgramFilesTest, TheShippedHelpAnswersWhatTheErrorBoxesSendUsersToIt)
{
    const QString help = QString::fromUtf8(ShippedHelpPage());
    EXPECT_TRUE(help.contains(u"<h2 id=\"troubleshooting\">Appendix: Troubleshooting Tips</h2>"_s));
    for (const QString &topic :
         {u"Connection errors"_s, u"Authentication errors"_s, u"TLS (SSL) errors"_s, u"Refused recipients"_s,
          u"Invalid addresses"_s, u"The server refuses the whole session"_s, u"Time-outs"_s})
        EXPECT_TRUE(help.contains(u">"_s + topic + u"</h3>"_s)) << topic.toStdString();

    QTextDocument welcome;
    ReadRtf(ShippedWelcomeText(), welcome);
    EXPECT_TRUE(welcome.toPlainText().startsWith(u"Welcome to Velko Courierline!"_s));
}

TEST(ProgramFilesTest, FirstRunGetsHelpAndWelcomeLaterRunsAKeptHelpPage)
{
    TempDataFolder data;
    const QDir dir(data.Path(u"data/velko-courierline"_s));
    InstallProgramFiles(dir.path(), true);
    EXPECT_EQ(Bytes(dir.filePath(u"bry_help.htm"_s)), ShippedHelpPage());
    EXPECT_EQ(Bytes(dir.filePath(u"bry_intr.rtf"_s)), ShippedWelcomeText());

    // The welcome has been shown and deleted; an older help page is replaced by this version's.
    QFile::remove(dir.filePath(u"bry_intr.rtf"_s));
    WriteFileAtomic(dir.filePath(u"bry_help.htm"_s), "<html>older help</html>");
    InstallProgramFiles(dir.path(), false);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"bry_intr.rtf"_s)));
    EXPECT_EQ(Bytes(dir.filePath(u"bry_help.htm"_s)), ShippedHelpPage());

    // A folder that cannot take the files keeps the start going.
    InstallProgramFiles(data.Path(u"missing/folder"_s), true);
    EXPECT_FALSE(QFile::exists(data.Path(u"missing/folder/bry_help.htm"_s)));
}
