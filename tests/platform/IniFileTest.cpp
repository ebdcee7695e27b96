#include "IniFile.h"
#include "AppError.h"
#include "TextCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray ReadBytes(const QString &name)
{
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void WriteBytes(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class IniFileTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char *name) { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

// A file as a Windows program writes it: CR LF, mixed case, a duplicate key,
// a hexadecimal value, a Windows-1252 byte and a comment.
TEST_F(IniFileTest, ReadsAWindowsWrittenFile)
{
    const QString name = Path("win.ini");
    WriteBytes(name, "; written on Windows\r\n[Settings]\r\nSMTP_Port=587\r\nsmtp_port=25\r\n"
                     "Mask=0x1F\r\nName=Caf\xE9\r\nFlag=1\r\nRatio=1,5\r\nBad=12abc\r\n\r\n[Other]\r\nx=1\r\n");
    const IniFile ini(name);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("SETTINGS"), QStringLiteral("Smtp_Port"), 0), 587);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Settings"), QStringLiteral("mask"), 0), 0x1F);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Settings"), QStringLiteral("Name"), {}), QString::fromUtf8("Café"));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("Settings"), QStringLiteral("Flag"), false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(QStringLiteral("Settings"), QStringLiteral("Ratio"), 0), 1.5);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Settings"), QStringLiteral("Bad"), 7), 7);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Settings"), QStringLiteral("Missing"), -3), -3);
    EXPECT_EQ(ini.ReadSection(QStringLiteral("settings")).size(), 6);
}

TEST_F(IniFileTest, RoundTripOfEveryTypeKeepsUnknownLines)
{
    const QString name = Path("rt.ini");
    WriteBytes(name, "\xEF\xBB\xBF; keep me\n[Unknown]\nfoo = bar\n[Settings]\nOld=1\n");
    {
        IniFile ini(name);
        ini.WriteInteger(QStringLiteral("Settings"), QStringLiteral("Int"), -42);
        ini.WriteBool(QStringLiteral("Settings"), QStringLiteral("Bool"), true);
        ini.WriteFloat(QStringLiteral("Settings"), QStringLiteral("Float"), 0.25);
        ini.WriteString(QStringLiteral("Settings"), QStringLiteral("Str"), QString(5000, u'x') + QStringLiteral("ü"));
        ini.WriteString(QStringLiteral("settings"), QStringLiteral("old"), QStringLiteral("2"));
        ini.WriteString(QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("a\r\nb"));
        ini.UpdateFile();
    }
    const QByteArray bytes = ReadBytes(name);
    EXPECT_TRUE(bytes.startsWith("; keep me\r\n[Unknown]\r\nfoo = bar\r\n[Settings]\r\nOld=2\r\n"));
    EXPECT_FALSE(bytes.contains("\n\n")) << "every line ends in CR LF";
    const IniFile ini(name);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Settings"), QStringLiteral("Int"), 0), -42);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("Settings"), QStringLiteral("Bool"), false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(QStringLiteral("Settings"), QStringLiteral("Float"), 0), 0.25);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Settings"), QStringLiteral("Str"), {}).size(), 5001);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Unknown"), QStringLiteral("FOO"), {}), QStringLiteral("bar"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("New"), QStringLiteral("K"), {}), QStringLiteral("a  b"))
        << "a line break in a value must not start a new line";
}

TEST_F(IniFileTest, EraseSectionRemovesEveryKeyOfIt)
{
    IniFile ini(Path("erase.ini"));
    ini.WriteString(QStringLiteral("Attachments"), QStringLiteral("ATT_00"), QStringLiteral("a"));
    ini.WriteString(QStringLiteral("Other"), QStringLiteral("k"), QStringLiteral("v"));
    ini.EraseSection(QStringLiteral("ATTACHMENTS"));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Attachments")));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("Attachments"), QStringLiteral("ATT_00")));
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("Other"), QStringLiteral("k")));
}

TEST_F(IniFileTest, RefusedWriteThrowsAndKeepsTheOldFile)
{
    // Tests run as root, so use a parent that is a regular file, not permissions.
    const QString blocker = Path("blocker");
    WriteBytes(blocker, "I am a file");
    IniFile bad(blocker + QStringLiteral("/cfg.ini"));
    bad.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    try {
        bad.UpdateFile();
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to ") + blocker + QStringLiteral("/cfg.ini"));
    }
    EXPECT_EQ(ReadBytes(blocker), QByteArray("I am a file"));
}

TEST_F(IniFileTest, PrivateFileIsOwnerOnly)
{
    IniFile ini(Path("secret.ini"));
    ini.SetPrivate(true);
    ini.WriteString(QStringLiteral("Settings"), QStringLiteral("Password"), QStringLiteral("E9ECEA"));
    ini.UpdateFile();
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(ini.FileName()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(TextCodecTest, Utf8AndWindows1252)
{
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9"), QString::fromUtf8("été"));
    EXPECT_EQ(DecodeText("\x80 \x93q\x94 \xE9"), QString::fromUtf8("€ “q” é"));
    EXPECT_EQ(DecodeText(QByteArray("\xFF\xFE"
                                    "a\0@\0\xE9\0",
                                    8)),
              QString::fromUtf8("a@é"));
    EXPECT_EQ(DecodeText(QByteArray("\xFE\xFF"
                                    "\0a\0@\0\xE9",
                                    8)),
              QString::fromUtf8("a@é"));
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));
}
