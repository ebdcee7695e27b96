#include "AtomicFile.h"

#include "AppError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

unsigned Mode(const QString &name)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(name).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class AtomicFileTest : public testing::Test {
protected:
    void TearDown() override { SetDiskSpaceForTests(-1); }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

    QTemporaryDir dir;
};

} // namespace

// The disk fills up before the first byte, halfway, and at the last byte: each
// time the write fails, the old file stays as it was and nothing else is left.
TEST_F(AtomicFileTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    const QString file = Path(u"bry_jlst.bxq"_s);
    WriteFileAtomic(file, "0|old@example.org|Not yet sent\r\n");
    const QByteArray newBytes(5000, 'n');
    for (const qint64 space : {qint64(0), qint64(7), newBytes.size() - 1}) {
        SetDiskSpaceForTests(space);
        try {
            WriteFileAtomic(file, newBytes);
            ADD_FAILURE() << "no error with " << space << " bytes of space";
        } catch (const AppError &e) {
            EXPECT_EQ(e.Message(), u"Unable to write to "_s + file);
        }
        EXPECT_EQ(ReadBytes(file), "0|old@example.org|Not yet sent\r\n") << space;
        EXPECT_EQ(Entries(), QStringList{u"bry_jlst.bxq"_s}) << space;
    }
    SetDiskSpaceForTests(newBytes.size());
    WriteFileAtomic(file, newBytes);
    EXPECT_EQ(ReadBytes(file), newBytes);
}

// What the user set up around a file outlives a save: its mode and a link to it.
TEST_F(AtomicFileTest, ASaveKeepsTheFilesModeAndLink)
{
    const mode_t oldMask = ::umask(022);
    WriteFileAtomic(Path(u"new.txt"_s), "new");
    EXPECT_EQ(Mode(Path(u"new.txt"_s)), 0644u);
    ::umask(oldMask);

    const QString shared = Path(u"shared.txt"_s);
    WriteFileAtomic(shared, "one");
    ASSERT_TRUE(QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    WriteFileAtomic(shared, "two");
    EXPECT_EQ(Mode(shared), 0640u);

    // A configuration holds a password: owner only, whatever it was before.
    ASSERT_TRUE(QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    WriteFileAtomic(shared, "secret", true);
    EXPECT_EQ(Mode(shared), 0600u);

    const QString link = Path(u"message.htm"_s);
    ASSERT_TRUE(QFile::link(shared, link));
    WriteFileAtomic(link, "<html>through the link</html>");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadBytes(shared), "<html>through the link</html>");
}
