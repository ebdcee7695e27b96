#include "StartupEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A data folder whose name has capitals, a blank and a letter outside A to Z.
class StartupEnvTest : public testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
        qputenv("HOME", dir.filePath(u"Home"_s).toUtf8());
        QDir().mkpath(dir.filePath(u"Home"_s));
        InitStartup();
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", oldDataHome);
        qputenv("HOME", oldHome);
        InitStartup();
    }

    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    const QByteArray oldHome = qgetenv("HOME");
    QTemporaryDir dir;
    const QString dataHome = dir.filePath(u"My Data Ärchiv"_s);
};

} // namespace

TEST_F(StartupEnvTest, ProgramFolderKeepsLetterCaseAndIsCreated)
{
    EXPECT_EQ(ProgramDirNoBackslash(), dataHome + u"/velko-courierline"_s);
    EXPECT_EQ(ProgramDir(), ProgramDirNoBackslash() + u'/');
    EXPECT_TRUE(QFileInfo(ProgramDirNoBackslash()).isDir());
}

TEST_F(StartupEnvTest, SpecialFoldersExistAndFallBackToTheDataFolder)
{
    EXPECT_TRUE(SpecialFolder(0).startsWith(dir.filePath(u"Home"_s))) << qPrintable(SpecialFolder(0));
    for (SpecialFolderId id = 0; id <= 4; ++id)
        EXPECT_TRUE(QFileInfo(SpecialFolder(id)).isDir()) << int(id);
    EXPECT_EQ(SpecialFolder(4), ProgramDirNoBackslash());
    EXPECT_TRUE(SpecialFolder(5).isEmpty());

    // Every start re-creates a folder removed in between.
    ASSERT_TRUE(QDir(SpecialFolder(0)).removeRecursively());
    InitStartup();
    EXPECT_TRUE(QFileInfo(SpecialFolder(0)).isDir());
}

// The data folder holds the program's files and nothing else: no folder is
// made that nothing would ever be stored in.
TEST_F(StartupEnvTest, StartingLeavesTheDataFolderEmpty)
{
    InitStartup();
    EXPECT_EQ(QDir(ProgramDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}
