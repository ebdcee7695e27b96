// The desktop mail program's account, read from a fake home folder.
#include "MailClientAccount.h"

#include "TempDataFolder.h"
#include "TextCodec.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString Prefs = uR"(// Mozilla User Preferences
user_pref("mail.account.account1.identities", "id1,id3");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.account.account2.server", "server2");
user_pref("mail.accountmanager.accounts", "account1,account2");
user_pref("mail.accountmanager.defaultaccount", "account1");
user_pref("mail.identity.id1.fullName", "J\u00f6rg \"Jo\" M\u00fcller");
user_pref("mail.identity.id1.smtpServer", "smtp2");
user_pref("mail.identity.id1.useremail", "jo@example.org");
user_pref("mail.identity.id3.useremail", "other@example.org");
user_pref("mail.smtp.defaultserver", "smtp1");
user_pref("mail.smtpserver.smtp1.hostname", "default.example.org");
user_pref("mail.smtpserver.smtp2.hostname", "smtp.example.org");
user_pref("mail.smtpserver.smtp2.port", 587);
)"_s;

class MailClientAccountTest : public testing::Test {
protected:
    QString Home() const { return data.Path(u"home"_s); }

    /** A profile folder below root (relative to home) with that prefs.js. */
    void Profile(const QString &root, const QString &profilesIni, const QString &folder, const QString &prefs) const
    {
        const QDir dir(QDir(Home()).filePath(root));
        ASSERT_TRUE(QDir().mkpath(dir.filePath(folder)));
        WriteTextFileAtomic(dir.filePath(u"profiles.ini"_s), profilesIni);
        WriteTextFileAtomic(QDir(dir.filePath(folder)).filePath(u"prefs.js"_s), prefs);
    }

    TempDataFolder data;
};

} // namespace

TEST_F(MailClientAccountTest, DefaultIdentityOfTheInstallationsDefaultProfile)
{
    Profile(u".thunderbird"_s,
            u"[Profile1]\nName=old\nIsRelative=1\nPath=old.default\nDefault=1\n\n"
            u"[Install4F96D1932A9F858E]\nDefault=new.default-release\nLocked=1\n\n"
            u"[Profile0]\nName=new\nIsRelative=1\nPath=new.default-release\n"_s,
            u"new.default-release"_s, Prefs);
    Profile(u".thunderbird"_s,
            u"[Profile1]\nName=old\nIsRelative=1\nPath=old.default\nDefault=1\n\n"
            u"[Install4F96D1932A9F858E]\nDefault=new.default-release\nLocked=1\n"_s,
            u"old.default"_s, u"user_pref(\"mail.smtpserver.smtp1.hostname\", \"wrong.example.org\");\n"_s);
    const QString prefsFile = Home() + u"/.thunderbird/new.default-release/prefs.js"_s;
    const QDateTime before = QFileInfo(prefsFile).lastModified();

    const TMailClientAccount account = ReadMailClientAccount(Home());
    EXPECT_EQ(account.SmtpServer, u"smtp.example.org"_s);
    EXPECT_EQ(account.Email, u"jo@example.org"_s);
    EXPECT_EQ(account.Name, u"Jörg \"Jo\" Müller"_s);
    // Only read.
    EXPECT_EQ(QFileInfo(prefsFile).lastModified(), before);
    EXPECT_EQ(QDir(Home() + u"/.thunderbird/new.default-release"_s).entryList(QDir::Files), QStringList{u"prefs.js"_s});
}

TEST_F(MailClientAccountTest, FlatpakProfileMarkedDefaultWithTheDefaultServer)
{
    QString prefs = Prefs;
    prefs.remove(u"user_pref(\"mail.identity.id1.smtpServer\", \"smtp2\");\n"_s);
    Profile(u".var/app/org.mozilla.Thunderbird/.thunderbird"_s,
            u"[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=a\nIsRelative=1\nPath=a.default\n\n"
            u"[Profile1]\nName=b\nIsRelative=1\nPath=b.default\nDefault=1\n"_s,
            u"b.default"_s, prefs);
    const TMailClientAccount account = ReadMailClientAccount(Home());
    EXPECT_EQ(account.SmtpServer, u"default.example.org"_s);
    EXPECT_EQ(account.Email, u"jo@example.org"_s);
}

TEST_F(MailClientAccountTest, SnapProfileWithAnAbsolutePathAndADefaultAccountWithoutIdentity)
{
    const QString folder = data.Path(u"elsewhere/p.default"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteTextFileAtomic(folder + u"/prefs.js"_s,
                        u"user_pref(\"mail.accountmanager.defaultaccount\", \"account9\");\n"
                        u"user_pref(\"mail.accountmanager.accounts\", \"account9,account2\");\n"
                        u"user_pref(\"mail.account.account2.identities\", \"id2\");\n"
                        u"user_pref(\"mail.identity.id2.useremail\", \"two@example.org\");\n"_s);
    Profile(u"snap/thunderbird/common/.thunderbird"_s, u"[Profile0]\nName=p\nIsRelative=0\nPath="_s + folder + u"\n"_s,
            u"unused"_s, QString());
    const TMailClientAccount account = ReadMailClientAccount(Home());
    EXPECT_EQ(account.Email, u"two@example.org"_s);
    EXPECT_TRUE(account.SmtpServer.isEmpty());
    EXPECT_TRUE(account.Name.isEmpty());
}

TEST_F(MailClientAccountTest, NoProfileOrNothingUsableGivesAnEmptyAccount)
{
    EXPECT_TRUE(ReadMailClientAccount(Home()).IsEmpty());
    EXPECT_TRUE(ReadMailClientAccount(QString()).IsEmpty());
    // Two profiles, none marked default: which one is meant is unknown.
    Profile(u".thunderbird"_s, u"[Profile0]\nPath=a\nIsRelative=1\n[Profile1]\nPath=b\nIsRelative=1\n"_s, u"a"_s,
            Prefs);
    EXPECT_TRUE(ReadMailClientAccount(Home()).IsEmpty());
    // A profile whose prefs.js is no preference file.
    Profile(u".thunderbird"_s, u"[Profile0]\nPath=a\nIsRelative=1\n"_s, u"a"_s, u"\x01\x02 garbage \"\n"_s);
    EXPECT_TRUE(ReadMailClientAccount(Home()).IsEmpty());
}

TEST(ParseStringPrefsTest, EscapesAreUndoneAndOtherValuesLeftOut)
{
    const QHash<QString, QString> prefs =
        ParseStringPrefs(u"user_pref(\"a\", \"x\\\\y \\\"q\\\" \\u00e9\\n\");\n"
                         u"  user_pref( 'b' , 'single' );\n"
                         u"user_pref(\"n\", 5);\nuser_pref(\"t\", true);\n"
                         u"// user_pref(\"c\", \"commented\");\nuser_pref(\"d\", \"unterminated);\n"_s);
    EXPECT_EQ(prefs.value(u"a"_s), u"x\\y \"q\" é\n"_s);
    EXPECT_EQ(prefs.value(u"b"_s), u"single"_s);
    EXPECT_EQ(prefs.size(), 2);
}
