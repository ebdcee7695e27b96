#include "FirstRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class FirstRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Data()));
        ASSERT_TRUE(QDir().mkpath(Older()));
    }
    QString Data() const { return root.filePath(u"data"_s); }
    QString Older() const { return root.filePath(u"older"_s); }
    static void Write(const QString &name, const QByteArray &bytes)
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Read(const QString &name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString InData(const QString &name) const { return QDir(Data()).filePath(name); }
    QString InOlder(const QString &name) const { return QDir(Older()).filePath(name); }

    QTemporaryDir root;
};

} // namespace

TEST_F(FirstRunTest, FirstStartCreatesAnEmptyPrivateConfigurationOnce)
{
    const QString fresh = root.filePath(u"fresh/velko-courierline"_s);
    EXPECT_TRUE(InstallDataFolder(fresh));
    const QFileInfo config(QDir(fresh).filePath(u"bry_cnfg.ini"_s));
    ASSERT_TRUE(config.exists());
    EXPECT_EQ(config.size(), 0);
    EXPECT_EQ(config.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());

    // Later starts find it and leave a written configuration alone.
    Write(config.filePath(), "[Settings]\r\n");
    EXPECT_FALSE(InstallDataFolder(fresh));
    EXPECT_EQ(Read(config.filePath()), "[Settings]\r\n");
}

TEST_F(FirstRunTest, EmptyConfigurationTakesOverTheOlderFiles)
{
    ASSERT_TRUE(InstallDataFolder(Data()));
    Write(InOlder(u"bry_cnfg.ini"_s), "[Settings]\r\nSMTP_Server=mail.example.com\r\n");
    Write(InOlder(u"bry_msg.bxq"_s), "Dear %1,\r\n");
    Write(InData(u"bry_msg.bxq"_s), "stale");
    Write(InOlder(u"bry_jlst.bxq"_s), "0|a@b.c|Not yet sent\r\n");

    EXPECT_TRUE(TakeOverOlderInstallation(Data(), Older()));
    EXPECT_EQ(Read(InData(u"bry_cnfg.ini"_s)), Read(InOlder(u"bry_cnfg.ini"_s)));
    EXPECT_EQ(Read(InData(u"bry_msg.bxq"_s)), "Dear %1,\r\n");
    // Only the configuration and the message copy are taken over.
    EXPECT_FALSE(QFileInfo::exists(InData(u"bry_jlst.bxq"_s)));

    // The configuration is no longer empty: a second start takes nothing over.
    Write(InOlder(u"bry_cnfg.ini"_s), "[Settings]\r\nSMTP_Server=other\r\n");
    EXPECT_FALSE(TakeOverOlderInstallation(Data(), Older()));
    EXPECT_EQ(Read(InData(u"bry_cnfg.ini"_s)), "[Settings]\r\nSMTP_Server=mail.example.com\r\n");
}

TEST_F(FirstRunTest, MessageCopyIsOptional)
{
    ASSERT_TRUE(InstallDataFolder(Data()));
    Write(InOlder(u"bry_cnfg.ini"_s), "[Settings]\r\n");
    EXPECT_TRUE(TakeOverOlderInstallation(Data(), Older()));
    EXPECT_FALSE(QFileInfo::exists(InData(u"bry_msg.bxq"_s)));
}

TEST_F(FirstRunTest, NothingIsTakenOverWithoutAllConditions)
{
    Write(InOlder(u"bry_cnfg.ini"_s), "[Settings]\r\n");
    Write(InOlder(u"bry_msg.bxq"_s), "text");
    // No configuration in the data folder at all.
    EXPECT_FALSE(TakeOverOlderInstallation(Data(), Older()));
    EXPECT_FALSE(QFileInfo::exists(InData(u"bry_cnfg.ini"_s)));
    // A configuration that is not empty.
    Write(InData(u"bry_cnfg.ini"_s), "x");
    EXPECT_FALSE(TakeOverOlderInstallation(Data(), Older()));
    EXPECT_EQ(Read(InData(u"bry_cnfg.ini"_s)), "x");
    // An empty one, but no older configuration (a message alone is not enough).
    Write(InData(u"bry_cnfg.ini"_s), "");
    QFile::remove(InOlder(u"bry_cnfg.ini"_s));
    EXPECT_FALSE(TakeOverOlderInstallation(Data(), Older()));
    EXPECT_FALSE(QFileInfo::exists(InData(u"bry_msg.bxq"_s)));
    // The data folder itself is no older installation.
    EXPECT_FALSE(TakeOverOlderInstallation(Data(), Data()));
}

TEST_F(FirstRunTest, UnreadableOlderConfigurationLeavesTheEmptyOneAndGoesOn)
{
    ASSERT_TRUE(InstallDataFolder(Data()));
    // A folder where the file should be: it cannot be read as one.
    ASSERT_TRUE(QDir().mkpath(InOlder(u"bry_cnfg.ini"_s)));
    EXPECT_FALSE(TakeOverOlderInstallation(Data(), Older()));
    EXPECT_EQ(QFileInfo(InData(u"bry_cnfg.ini"_s)).size(), 0);
}
