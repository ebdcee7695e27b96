#include "EMTypes.h"

#include "AppError.h"
#include "Encryptn.h"
#include "IniFile.h"
#include "MessageBoxRecorder.h"
#include "StartupEnv.h"
#include "TempDataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A configuration file as the program would find it.
void WriteConfig(const QByteArray &bytes)
{
    WriteBytes(TESettings::ConfigFileName(), bytes);
}

QString ScrambledHex(const QByteArray &passwordBytes)
{
    QByteArray bytes = passwordBytes;
    EncryptBuffer(bytes, "wqv_tnzk.hdm");
    return QString::fromLatin1(bytes.toHex().toUpper());
}

class TESettingsTest : public ::testing::Test {
protected:
    TempDataFolder m_data;
    MessageBoxRecorder m_boxes;
};

} // namespace

TEST_F(TESettingsTest, ParameterTable)
{
    const TESettings s;
    for (int i = 0; i < SettingsParamCount; ++i)
        EXPECT_EQ(s.Param(i).Key, SettingsParamTable[i].Key.toString()) << i;
    EXPECT_EQ(s.Param(spSmtpPort).GetInt(), 25);
    EXPECT_EQ(s.Param(spSmtpTimeout).GetInt(), 60);
    EXPECT_EQ(s.Param(spReconnect).GetInt(), 25);
    EXPECT_EQ(s.Param(spBatchQty).GetInt(), 50);
    EXPECT_EQ(s.Param(spNameParInd).GetInt(), 1);
    EXPECT_EQ(s.Param(spMethodCount).GetInt(), 5);
    EXPECT_TRUE(s.Param(spMimeEna).GetBool());
    EXPECT_FALSE(s.Param(spSmtpAuth).GetBool());
    EXPECT_EQ(s.Param(spMethodTo).GetStr(), u"undisclosed recipients"_s);
    EXPECT_EQ(s.Param(spCharSet).GetStr(), QString());
    EXPECT_TRUE(s.Param(spAttachments).Key.isEmpty());
    EXPECT_EQ(s.Param(spMessageFile).Key, u"Message_File"_s);
    EXPECT_EQ(s.Param(spYourEmail).Key, u"Your_EMail"_s);

    EXPECT_EQ(ParamLabels[spCharSet], u"  Character Set");
    EXPECT_EQ(ParamLabels[spBccEmails], u"\"BCC\" every e-mail to");
    EXPECT_EQ(ParamShortLabels[spMessageFile], u"Source File");
    EXPECT_TRUE(ParamShortLabels[spSmtpTimeout].isEmpty());
    EXPECT_TRUE(ParamLabels[spNameParInd].isEmpty());
}

TEST_F(TESettingsTest, ParameterSets)
{
    const auto members = [](SettingsParamSet set) {
        QList<int> list;
        for (int i = 0; i < 64; ++i)
            if (set.Contains(i))
                list.append(i);
        return list;
    };
    EXPECT_EQ(members(RequiredParams), (QList<int>{0, 7, 8, 14}));
    EXPECT_EQ(members(FileNameParams), (QList<int>{15, 30, 32}));
    EXPECT_EQ(members(TextParams), (QList<int>{0, 4, 5, 7, 8, 14, 15, 16, 18, 20, 24}));
    // The groups cover every setting once.
    EXPECT_EQ(members(GroupParams[0] | GroupParams[1] | GroupParams[2]), members(SettingsParamSet::Range(0, 32)));
    EXPECT_TRUE((GroupParams[0] & GroupParams[1]).IsEmpty());
    EXPECT_TRUE((GroupParams[1] & GroupParams[2]).IsEmpty());
    EXPECT_EQ(members(GroupParams[2]), (QList<int>{30, 31, 32}));
    EXPECT_TRUE(GroupParams[1].Contains(spMethodCount) && !GroupParams[1].Contains(spListFile));
}

TEST_F(TESettingsTest, FullRoundTrip)
{
    TESettings s;
    // A value other than the default for every setting.
    for (int i = 0; i < SettingsParamCount; ++i) {
        TIniPar &par = s.Param(i);
        switch (par.ParType) {
        case iptInteger:
            par.SetInt(SettingsParamTable[i].Min + 3);
            break;
        case iptBoolean:
            par.SetBool(!par.GetBool());
            break;
        default:
            par.SetStr(u"v%1 é ; = x"_s.arg(i));
            break;
        }
    }
    s.Param(spPassword).SetStr(u"pässwörd €"_s);
    s.AttachmentPaths = {u"/tmp/a b.pdf"_s, u"/tmp/ü.txt"_s};
    s.ExtraHeaders = {u"X-A: 1"_s, u"X-B: two = 2"_s, u"X-C: ;3"_s};
    s.ReadWriteConfig(true, SettingsGroupSet::All());

    TESettings r;
    r.ReadWriteConfig(false, SettingsGroupSet::All());
    for (int i = 0; i < SettingsParamCount; ++i) {
        const TIniPar &a = s.Param(i);
        const TIniPar &b = r.Param(i);
        if (i == spAttachments || i == spMessageFile)
            continue; // not stored / emptied without a message
        EXPECT_EQ(a.IntValue, b.IntValue) << i;
        EXPECT_EQ(a.BoolValue, b.BoolValue) << i;
        EXPECT_EQ(a.StrValue, b.StrValue) << i;
    }
    EXPECT_EQ(r.AttachmentPaths, s.AttachmentPaths);
    EXPECT_EQ(r.ExtraHeaders, s.ExtraHeaders);
    // The password is not in the file as plain text, and only its owner may read the file.
    EXPECT_FALSE(ReadBytes(TESettings::ConfigFileName()).contains("p\xC3\xA4sswörd"));
    struct stat st {};
    ASSERT_EQ(stat(TESettings::ConfigFileName().toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(TESettingsTest, WritingKeepsWhatTheProgramDoesNotKnow)
{
    WriteConfig("; comment\r\n[Settings]\r\nSMTP_Server=old\r\nUnknown=keep\r\n[Other]\r\nA=1\r\n"
                "[Attachments]\r\nATT_00=/x\r\nATT_01=/y\r\n");
    TESettings s;
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    s.AttachmentPaths = {u"/z"_s};
    s.ReadWriteConfig(true, SettingsGroupSet::All());
    const IniFile ini(TESettings::ConfigFileName());
    EXPECT_EQ(ini.ReadString(u"Settings"_s, u"Unknown"_s, QString()), u"keep"_s);
    EXPECT_EQ(ini.ReadString(u"Other"_s, u"A"_s, QString()), u"1"_s);
    EXPECT_EQ(ini.ReadSection(u"Attachments"_s), QStringList{u"ATT_00"_s});
    EXPECT_FALSE(ini.ValueExists(u"Settings"_s, QString()));
}

TEST_F(TESettingsTest, ReadsAConfigurationWrittenOnWindows)
{
    const QString hex = ScrambledHex("caf\xE9"); // Windows-1252 bytes
    WriteConfig("[Settings]\r\nSMTP_Server=smtp.example.com\r\nSMTP_Port=587\r\nYour_Name=Jos\xE9 M\xFCller\r\n"
                "Subject=Gr\xFC\xDF\x65 \x80\r\nSMTP_Auth=1\r\nPassword="
                + hex.toLatin1()
                + "\r\nMessage_File=C:\\Docs\\msg.txt\r\n\r\n[Attachments]\r\nATT_00=C:\\Docs\\r\xE9sum\xE9.pdf\r\n"
                  "[Headers]\r\nHDR_00=X-Mailer: Test\r\n");
    TESettings s;
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(s.Param(spSmtpServer).GetStr(), u"smtp.example.com"_s);
    EXPECT_EQ(s.Param(spSmtpPort).GetInt(), 587);
    EXPECT_EQ(s.Param(spYourName).GetStr(), u"José Müller"_s);
    EXPECT_EQ(s.Param(spSubject).GetStr(), u"Grüße €"_s);
    EXPECT_TRUE(s.Param(spSmtpAuth).GetBool());
    EXPECT_EQ(s.Param(spPassword).GetStr(), u"café"_s);
    EXPECT_EQ(s.AttachmentPaths, QStringList{u"C:\\Docs\\résumé.pdf"_s});
    EXPECT_EQ(s.ExtraHeaders, QStringList{u"X-Mailer: Test"_s});
    // No working copy: no message, and no message file.
    EXPECT_TRUE(s.MessageText.isEmpty());
    EXPECT_EQ(s.Param(spMessageFile).GetStr(), QString());
}

TEST_F(TESettingsTest, ReadingOneGroupLeavesTheOthers)
{
    WriteConfig("[Settings]\r\nSMTP_Server=new\r\nSubject=stored\r\nListFile=stored.csv\r\nCharSet=\r\n"
                "[Attachments]\r\nATT_00=/stored\r\n");
    TESettings s;
    s.Param(spSubject).SetStr(u"mine"_s);
    s.Param(spListFile).SetStr(u"mine.csv"_s);
    s.Param(spSmtpTimeout).SetInt(900);
    s.AttachmentPaths = {u"/mine"_s};
    s.ReadWriteConfig(false, {sgConnection});
    EXPECT_EQ(s.Param(spSmtpServer).GetStr(), u"new"_s);
    EXPECT_EQ(s.Param(spSubject).GetStr(), u"mine"_s);
    EXPECT_EQ(s.Param(spListFile).GetStr(), u"mine.csv"_s);
    EXPECT_EQ(s.AttachmentPaths, QStringList{u"/mine"_s});
    // Defaults and bounds apply whatever the groups.
    EXPECT_EQ(s.ExtraHeaders, (QStringList{u"X-Priority: 3 (Normal)"_s, u"Importance: Normal"_s}));
    EXPECT_EQ(s.Param(spCharSet).GetStr(), u"utf-8"_s);
    EXPECT_EQ(s.Param(spSmtpTimeout).GetInt(), 300);

    s.ReadWriteConfig(false, {sgListFiles});
    EXPECT_EQ(s.Param(spListFile).GetStr(), u"stored.csv"_s);
    EXPECT_EQ(s.Param(spSubject).GetStr(), u"mine"_s);
}

TEST_F(TESettingsTest, ListsStopAtTheFirstGapAndAfterOneHundred)
{
    QByteArray file = "[Attachments]\r\nATT_00=/a\r\nATT_01=/b\r\nATT_03=/d\r\n[Headers]\r\n";
    for (int i = 0; i < 120; ++i)
        file += QString::asprintf("HDR_%.2d=X-H: %d\r\n", i, i).toLatin1();
    WriteConfig(file);
    TESettings s;
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(s.AttachmentPaths, (QStringList{u"/a"_s, u"/b"_s}));
    ASSERT_EQ(s.ExtraHeaders.size(), 100);
    EXPECT_EQ(s.ExtraHeaders.last(), u"X-H: 99"_s);
}

TEST_F(TESettingsTest, EmptyListEntriesAreNotWritten)
{
    TESettings s;
    s.ExtraHeaders = {u"X-A: 1"_s, QString(), u"  "_s, u"X-B: 2"_s};
    s.AttachmentPaths = {QString(), u"/a"_s};
    s.ReadWriteConfig(true, SettingsGroupSet::All());
    TESettings r;
    r.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(r.ExtraHeaders, (QStringList{u"X-A: 1"_s, u"X-B: 2"_s}));
    EXPECT_EQ(r.AttachmentPaths, QStringList{u"/a"_s});
}

TEST_F(TESettingsTest, BoundsOnRead)
{
    TESettings s;
    WriteConfig("[Settings]\r\nSMTP_Port=0\r\nSMTP_Timeout=500\r\nReconnect=0\r\nDelay=-4\r\nMethodCount=101\r\n");
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(s.Param(spSmtpPort).GetInt(), 25);
    EXPECT_EQ(s.Param(spSmtpTimeout).GetInt(), 300);
    EXPECT_EQ(s.Param(spReconnect).GetInt(), 1);
    EXPECT_EQ(s.Param(spDelay).GetInt(), 0);
    EXPECT_EQ(s.Param(spMethodCount).GetInt(), 100);
    EXPECT_EQ(s.Param(spSmtpPort).Min, 1);
    EXPECT_EQ(s.Param(spSmtpPort).Max, 9999);

    // A second read with the bounds in place gives the same.
    WriteConfig("[Settings]\r\nSMTP_Port=10000\r\n");
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(s.Param(spSmtpPort).GetInt(), 25);
    WriteConfig("[Settings]\r\nSMTP_Port=0\r\n");
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(s.Param(spSmtpPort).GetInt(), 25);
}

TEST_F(TESettingsTest, DefaultsAfterRead)
{
    TESettings s;
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(s.ExtraHeaders, (QStringList{u"X-Priority: 3 (Normal)"_s, u"Importance: Normal"_s}));
    EXPECT_EQ(s.Param(spCharSet).GetStr(), u"utf-8"_s);
    // A stored character set is kept.
    WriteConfig("[Settings]\r\nCharSet=iso-8859-1\r\n[Headers]\r\nHDR_00=X-Only: 1\r\n");
    s.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(s.Param(spCharSet).GetStr(), u"iso-8859-1"_s);
    EXPECT_EQ(s.ExtraHeaders, QStringList{u"X-Only: 1"_s});
}

TEST_F(TESettingsTest, PasswordStorage)
{
    TESettings s;
    s.Param(spPassword).SetStr(u"abc"_s);
    const QString hex = s.EncodePassword();
    EXPECT_EQ(hex, ScrambledHex("abc"));
    EXPECT_EQ(hex.size(), 6);
    EXPECT_EQ(hex, hex.toUpper());

    s.DecodePassword(hex + u"7"_s); // an odd last digit is ignored
    EXPECT_EQ(s.Param(spPassword).GetStr(), u"abc"_s);
    s.DecodePassword(hex.toLower());
    EXPECT_EQ(s.Param(spPassword).GetStr(), u"abc"_s);
    for (const QString &bad : {u"G1"_s, hex + u"G1"_s, u"+1"_s, u" 1"_s}) {
        s.DecodePassword(bad);
        EXPECT_EQ(s.Param(spPassword).GetStr(), QString()) << bad.toStdString();
    }
    s.Param(spPassword).SetStr(QString());
    EXPECT_EQ(s.EncodePassword(), QString());
}

TEST_F(TESettingsTest, PasswordLimits)
{
    TESettings s;
    const QString longPassword = QString(70, u'p');
    s.Param(spPassword).SetStr(longPassword);
    EXPECT_EQ(s.EncodePassword().size(), 128);
    s.DecodePassword(s.EncodePassword());
    EXPECT_EQ(s.Param(spPassword).GetStr(), longPassword.left(64));

    // A stored value longer than 128 digits reads its first 128.
    s.DecodePassword(ScrambledHex(QByteArray(80, 'q')));
    EXPECT_EQ(s.Param(spPassword).GetStr(), QString(64, u'q'));

    // Cut at a character boundary: 63 ASCII bytes and a two-byte letter do not fit.
    s.Param(spPassword).SetStr(QString(63, u'a') + u"é"_s);
    s.DecodePassword(s.EncodePassword());
    EXPECT_EQ(s.Param(spPassword).GetStr(), QString(63, u'a'));
    s.Param(spPassword).SetStr(u"密码\U0001F511"_s);
    s.DecodePassword(s.EncodePassword());
    EXPECT_EQ(s.Param(spPassword).GetStr(), u"密码\U0001F511"_s);
}

TEST_F(TESettingsTest, WriteFailureRaisesAndNothingElseChanges)
{
    QDir().mkpath(TESettings::ConfigFileName()); // a folder where the file should be
    TESettings s;
    s.Param(spSubject).SetStr(u"kept"_s);
    try {
        s.ReadWriteConfig(true, SettingsGroupSet::All());
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.Message(), u"Unable to write to %1"_s.arg(TESettings::ConfigFileName()));
    }
    EXPECT_EQ(s.Param(spSubject).GetStr(), u"kept"_s);
}

TEST_F(TESettingsTest, FormPlacement)
{
    QWidget form;
    form.setGeometry(40, 50, 640, 480);
    TESettings s;
    s.ReadWriteConfig(true, SettingsGroupSet::All(), &form);
    const IniFile ini(TESettings::ConfigFileName());
    EXPECT_EQ(ini.ReadInteger(u"FormSizePos"_s, u"Width"_s, 0), 640);

    QWidget other;
    other.setGeometry(0, 0, 500, 500);
    TESettings r;
    r.Maximized = true;
    r.ReadWriteConfig(false, SettingsGroupSet::All(), &other);
    EXPECT_EQ(other.geometry().size(), QSize(640, 480));
    EXPECT_FALSE(r.Maximized);

    IniFile edit(TESettings::ConfigFileName());
    edit.WriteBool(u"FormSizePos"_s, u"Maximized"_s, true);
    edit.UpdateFile();
    r.ReadWriteConfig(false, SettingsGroupSet::All(), &other);
    EXPECT_TRUE(r.Maximized);
}

TEST_F(TESettingsTest, DisplayTexts)
{
    TESettings s;
    s.Param(spDelay).SetInt(1);
    EXPECT_EQ(s.DisplayText(spDelay), u"1 second"_s);
    s.Param(spDelay).SetInt(0);
    EXPECT_EQ(s.DisplayText(spDelay), u"0 seconds"_s);
    s.Param(spRecPause).SetInt(12);
    EXPECT_EQ(s.DisplayText(spRecPause), u"12 seconds"_s);
    s.Param(spReconnect).SetInt(30);
    EXPECT_EQ(s.DisplayText(spReconnect), u"Every 30 messages"_s);
    EXPECT_EQ(s.DisplayText(spSmtpPort), u"25"_s);

    EXPECT_EQ(s.DisplayText(spMethodBcc), u"Individual E-mails"_s);
    s.Param(spMethodBcc).SetBool(true);
    EXPECT_EQ(s.DisplayText(spMethodBcc), u"BCC (5 per E-mail)"_s);
    EXPECT_EQ(s.DisplayText(spSmtpAuth), QString());

    EXPECT_EQ(s.DisplayText(spMessageFile), u"None"_s);
    EXPECT_EQ(s.DisplayText(spSubject), u"[Required]"_s);
    EXPECT_EQ(s.DisplayText(spSmtpUser), QString());
    s.Param(spMessageFile).SetStr(u"/home/ann/letters/offer.htm"_s);
    EXPECT_EQ(s.DisplayText(spMessageFile), u"offer.htm"_s);
    s.Param(spListFile).SetStr(u"list.csv"_s);
    EXPECT_EQ(s.DisplayText(spListFile), u"list.csv"_s);

    EXPECT_EQ(s.DisplayText(spPassword), QString());
    s.Param(spPassword).SetStr(u"sécret"_s);
    EXPECT_EQ(s.DisplayText(spPassword), u"******"_s);

    EXPECT_EQ(s.DisplayText(spAttachments), QString());
    s.AttachmentPaths = {u"/a/one.pdf"_s, u"/b/two.txt"_s};
    EXPECT_EQ(s.DisplayText(spAttachments), u"one.pdf;two.txt"_s);

    s.Param(spBccTo).SetStr(u"copy@example.com"_s);
    s.Param(spReplyTo).SetStr(u"reply@example.com"_s);
    EXPECT_EQ(s.DisplayText(spBccTo), QString());
    EXPECT_EQ(s.DisplayText(spReplyTo), QString());
    s.Param(spBccEmails).SetBool(true);
    s.Param(spReplyEna).SetBool(true);
    EXPECT_EQ(s.DisplayText(spBccTo), u"copy@example.com"_s);
    EXPECT_EQ(s.DisplayText(spReplyTo), u"reply@example.com"_s);
}

TEST_F(TESettingsTest, RequiredAndMethod)
{
    TESettings s;
    EXPECT_FALSE(s.AllRequiredSet());
    s.Param(spSmtpServer).SetStr(u"h"_s);
    s.Param(spYourEmail).SetStr(u"a@b"_s);
    s.Param(spYourName).SetStr(u"A"_s);
    EXPECT_FALSE(s.AllRequiredSet());
    s.Param(spSubject).SetStr(u"S"_s);
    EXPECT_TRUE(s.AllRequiredSet());

    EXPECT_FALSE(s.IsBccMethod());
    s.Param(spMethodBcc).SetBool(true);
    s.Param(spMethodCount).SetInt(7);
    EXPECT_TRUE(s.IsBccMethod());
    EXPECT_EQ(s.BccPerMessage(), 7);
}

TEST_F(TESettingsTest, CheckAttachments)
{
    TESettings s;
    EXPECT_TRUE(s.CheckAttachments());
    const QString a = m_data.Path(u"a.txt"_s);
    const QString b = m_data.Path(u"b.txt"_s);
    WriteBytes(a, "a");
    s.AttachmentPaths = {a, b, m_data.Path(u"c.txt"_s)};
    EXPECT_FALSE(s.CheckAttachments());
    ASSERT_EQ(m_boxes.Boxes().size(), 1);
    EXPECT_EQ(m_boxes.Boxes()[0].type, MsgDlgType::Information);
    EXPECT_EQ(m_boxes.Boxes()[0].text, u"Attachment file \"%1\" was not found!"_s.arg(b));

    WriteBytes(b, "b");
    s.AttachmentPaths = {a, b};
    m_boxes.Clear();
    EXPECT_TRUE(s.CheckAttachments());
    EXPECT_TRUE(m_boxes.Boxes().isEmpty());

    // A folder is not a file that could be sent.
    s.AttachmentPaths = {a, m_data.Root()};
    EXPECT_FALSE(s.CheckAttachments());
    ASSERT_EQ(m_boxes.Boxes().size(), 1);
    EXPECT_EQ(m_boxes.Boxes()[0].text, u"Attachment file \"%1\" was not found!"_s.arg(m_data.Root()));
}

TEST_F(TESettingsTest, CheckAttachmentsRefusesAnUnreadableFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TESettings s;
    const QString a = m_data.Path(u"a.txt"_s);
    WriteBytes(a, "a");
    QFile::setPermissions(a, QFileDevice::WriteOwner);
    s.AttachmentPaths = {a};
    EXPECT_FALSE(s.CheckAttachments());
    ASSERT_EQ(m_boxes.Boxes().size(), 1);
    EXPECT_EQ(m_boxes.Boxes()[0].text, u"Attachment file \"%1\" was not found!"_s.arg(a));
}

TEST_F(TESettingsTest, LoadMessageFile)
{
    TESettings s;
    const QString file = m_data.Path(u"msg.txt"_s);
    WriteBytes(file, "\xEF\xBB\xBFHello %1,\nline two\r\n%2\rend");
    s.Param(spMessageFile).SetStr(file);
    s.LoadMessageFile(file);
    EXPECT_EQ(s.MessageText, (QStringList{u"Hello %1,"_s, u"line two"_s, u"%2"_s, u"end"_s}));
    EXPECT_EQ(s.Param(spMessageFile).GetStr(), file);
    EXPECT_FALSE(s.IsHtml);
    ASSERT_EQ(s.ParameterCount(), 2);
    const QString t = s.MessageBody();
    EXPECT_EQ(t, u"Hello %1,\r\nline two\r\n%2\r\nend\r\n"_s);
    // The %2 line, alone, drops with its line end.
    const TParameter &p = s.Parameter(0);
    EXPECT_EQ(p.Index, 2);
    EXPECT_EQ(QString(t).remove(p.DropStart, p.DropLength), u"Hello %1,\r\nline two\r\nend\r\n"_s);
    EXPECT_TRUE(s.HasParams);
    EXPECT_TRUE(s.CanPersonalise());
    s.Param(spMethodBcc).SetBool(true);
    EXPECT_FALSE(s.CanPersonalise());

    // Blank, missing and unreadable files are no message.
    WriteBytes(file, " \r\n\t\r\n");
    s.LoadMessageFile(file);
    EXPECT_TRUE(s.MessageText.isEmpty());
    EXPECT_FALSE(s.HasParams);
    EXPECT_EQ(s.Param(spMessageFile).GetStr(), QString());
    for (const QString &path : {m_data.Path(u"missing.txt"_s), QString(), m_data.Root()}) {
        s.Param(spMessageFile).SetStr(u"x"_s);
        s.LoadMessageFile(path);
        EXPECT_TRUE(s.MessageText.isEmpty());
        EXPECT_EQ(s.Param(spMessageFile).GetStr(), QString());
    }
    EXPECT_TRUE(m_boxes.Boxes().isEmpty());
}

TEST_F(TESettingsTest, LoadHtmlMessageInItsOwnCharset)
{
    TESettings s;
    const QString file = m_data.Path(u"msg.htm"_s);
    WriteBytes(file,
               "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"></head>\r\n"
               "<body><p>\xCF\xF0\xE8\xE2\xE5\xF2</p><p>%1</p></body></html>\r\n");
    s.LoadMessageFile(file);
    EXPECT_TRUE(s.IsHtml);
    EXPECT_EQ(s.HtmlCharset, u"windows-1251"_s);
    EXPECT_TRUE(s.MessageText.join(u'\n').contains(u"<p>Привет</p>"_s));
    ASSERT_EQ(s.ParameterCount(), 1);
    const TParameter &p = s.Parameter(0);
    EXPECT_EQ(s.MessageBody().mid(p.DropStart, p.DropLength), u"<p>%1</p>"_s);
}

TEST_F(TESettingsTest, ReloadAndSaveMessage)
{
    TESettings s;
    const QString file = m_data.Path(u"msg.txt"_s);
    WriteBytes(file, "Caf\xE9 %1\r\n"); // a Windows-1252 file
    s.Param(spMessageFile).SetStr(file);
    s.ReloadMessage();
    EXPECT_EQ(s.MessageText, QStringList{u"Café %1"_s});
    EXPECT_EQ(ReadBytes(TESettings::MessageCopyFileName()), u"Café %1\r\n"_s.toUtf8());

    // Edited, kept in the working copy only.
    s.MessageText = {u"Café %2"_s, u"x"_s};
    s.SaveMessage(false);
    EXPECT_EQ(ReadBytes(file), QByteArray("Caf\xE9 %1\r\n"));
    EXPECT_EQ(s.Parameter(0).Index, 2);
    // Also into the user's file, which keeps its character set.
    s.SaveMessage(true);
    EXPECT_EQ(ReadBytes(file), QByteArray("Caf\xE9 %2\r\nx\r\n"));
    EXPECT_TRUE(m_boxes.Boxes().isEmpty());

    // The configuration reloads the working copy.
    TESettings r;
    r.ReadWriteConfig(false, SettingsGroupSet::All());
    EXPECT_EQ(r.MessageText, (QStringList{u"Café %2"_s, u"x"_s}));
    EXPECT_EQ(r.ParameterCount(), 1);
}

// A message saved back unchanged is the file it was read from, byte for byte,
// also after a round through the working copy that the next start reads.
TEST_F(TESettingsTest, SavingBackReproducesTheFile)
{
    const QList<QByteArray> files = {
        // Three UTF-8 byte-order marks: the first marks the file, the others are text.
        "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF"
        "Dear %1,\r\nCaf\xC3\xA9\r\n",
        QByteArray("\xFF\xFE\xFF\xFE"
                   "D\0e\0a\0r\0\r\0\n\0",
                   16),
        // Names UTF-16 but is not: an odd number of bytes in Windows-1252.
        "<html><meta content=\"text/html; charset=utf16\"><body>Caf\xE9</body></html>\r\n",
    };
    const QString file = m_data.Path(u"msg.htm"_s);
    for (const QByteArray &bytes : files) {
        WriteBytes(file, bytes);
        TESettings s;
        s.Param(spMessageFile).SetStr(file);
        s.ReloadMessage();
        s.SaveMessage(true);
        EXPECT_EQ(ReadBytes(file), bytes);

        TESettings next;
        next.LoadMessageFile(TESettings::MessageCopyFileName());
        next.Param(spMessageFile).SetStr(file);
        next.SaveMessage(true);
        EXPECT_EQ(ReadBytes(file), bytes);
    }
    EXPECT_TRUE(m_boxes.Boxes().isEmpty());
}

TEST_F(TESettingsTest, SavingIntoTheUsersFileKeepsItsLineBreaks)
{
    TESettings s;
    const QString file = m_data.Path(u"lf.txt"_s);
    WriteBytes(file, "one\ntwo\n");
    s.Param(spMessageFile).SetStr(file);
    s.ReloadMessage();
    s.MessageText.append(u"three"_s);
    s.SaveMessage(true);
    EXPECT_EQ(ReadBytes(file), QByteArray("one\ntwo\nthree\n"));
    // The working copy keeps its own CR LF.
    EXPECT_EQ(ReadBytes(TESettings::MessageCopyFileName()), QByteArray("one\r\ntwo\r\nthree\r\n"));
}

TEST_F(TESettingsTest, MessageFileChangedSinceTheLastStartWhenNewerThanTheWorkingCopy)
{
    TESettings s;
    const QString file = m_data.Path(u"m.txt"_s);
    WriteBytes(file, "Hello\r\n");
    s.Param(spMessageFile).SetStr(file);
    s.ReloadMessage();
    s.MessageText = {u"Edited"_s};
    s.SaveMessage(true);
    EXPECT_FALSE(s.MessageFileChanged());

    // After a start nothing is remembered: the working copy, written at every
    // read and save, tells whether the file is newer.
    TESettings later;
    later.ReadWriteConfig(false, SettingsGroupSet::All());
    later.Param(spMessageFile).SetStr(file);
    const QDateTime copyTime = QFileInfo(TESettings::MessageCopyFileName()).lastModified();
    QFile source(file);
    ASSERT_TRUE(source.open(QIODevice::ReadWrite));
    ASSERT_TRUE(source.setFileTime(copyTime.addSecs(-60), QFileDevice::FileModificationTime));
    EXPECT_FALSE(later.MessageFileChanged());
    ASSERT_TRUE(source.setFileTime(copyTime.addSecs(60), QFileDevice::FileModificationTime));
    EXPECT_TRUE(later.MessageFileChanged());
    // No message file: nothing to read again.
    later.Param(spMessageFile).SetStr(QString());
    EXPECT_FALSE(later.MessageFileChanged());
}

TEST_F(TESettingsTest, SaveMessageFailures)
{
    TESettings s;
    s.MessageText = {u"Hello %1"_s};
    // The working copy cannot be written: a folder stands in its place.
    QDir().mkpath(TESettings::MessageCopyFileName());
    const QString file = m_data.Path(u"sub/msg.txt"_s);
    QDir().mkpath(m_data.Path(u"sub"_s));
    WriteBytes(file, "old\r\n");
    // The user's file cannot be replaced: its folder is a read-only place.
    const QString procFile = u"/proc/version"_s;
    const QByteArray procBefore = ReadBytes(procFile);
    s.Param(spMessageFile).SetStr(procFile);
    s.SaveMessage(true);
    ASSERT_EQ(m_boxes.Boxes().size(), 2);
    EXPECT_EQ(m_boxes.Boxes()[0].type, MsgDlgType::Error);
    EXPECT_EQ(m_boxes.Boxes()[0].text, u"Unable to write to %1"_s.arg(TESettings::MessageCopyFileName()));
    EXPECT_EQ(m_boxes.Boxes()[1].text,
              u"Error saving file \"%1\".\r\nIt may be opened by another application."_s.arg(procFile));
    EXPECT_EQ(ReadBytes(procFile), procBefore);
    // The message and its analysis stand.
    EXPECT_EQ(s.MessageText, QStringList{u"Hello %1"_s});
    EXPECT_EQ(s.ParameterCount(), 1);

    // Not asked, or no such file: the user's file is not touched.
    m_boxes.Clear();
    s.Param(spMessageFile).SetStr(file);
    s.SaveMessage(false);
    EXPECT_EQ(ReadBytes(file), QByteArray("old\r\n"));
    s.Param(spMessageFile).SetStr(m_data.Path(u"none.txt"_s));
    s.SaveMessage(true);
    EXPECT_FALSE(QFile::exists(m_data.Path(u"none.txt"_s)));
}

// Filled at first use, once, whichever thread asks first (the sending thread
// may): every caller gets the one complete table.
TEST_F(TESettingsTest, MimeTableIsFilledOnceAtFirstUse)
{
    const TESettings s;
    std::array<const TMimeTable *, 4> seen{};
    {
        std::vector<std::jthread> threads;
        for (const TMimeTable *&table : seen)
            threads.emplace_back([&s, &table] { table = &s.MimeTable(); });
    }
    for (const TMimeTable *table : seen)
        EXPECT_EQ(table, &s.MimeTable());
    EXPECT_GE(s.MimeTable().Count(), 136);
    EXPECT_FALSE(s.MimeTable().Lookup(u"photo.jpg"_s).isEmpty());
    EXPECT_EQ(s.MimeTable().Lookup(u"file.nosuchextension"_s), QString());
}
