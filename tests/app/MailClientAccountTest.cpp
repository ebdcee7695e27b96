// The desktop mail program's account, read from a fake home folder, and the
// connection page it fills.
#include "MailClientAccount.h"

#include "DlgSett.h"
#include "HangGuard.h"
#include "SettingsPage.h"
#include "TESettings.h"
#include "TempDataFolder.h"
#include "TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include <sys/stat.h>

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

// The account read on a thread of its own: a read that blocks or never ends
// fails the test after the hang guard instead of stopping the run.
testing::AssertionResult ReadsAnEmptyAccountSoon(const QString &home)
{
    auto read = std::make_shared<std::packaged_task<bool()>>([home] { return ReadMailClientAccount(home).IsEmpty(); });
    std::future<bool> empty = read->get_future();
    std::thread([read] { (*read)(); }).detach();
    if (empty.wait_for(std::chrono::milliseconds(HangGuardMs)) != std::future_status::ready)
        return testing::AssertionFailure()
               << "reading the account had still not ended after " << HangGuardMs / 1000 << " s";
    if (!empty.get())
        return testing::AssertionFailure() << "the account read was not empty";
    return testing::AssertionSuccess();
}

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

TEST_F(MailClientAccountTest, FillsAnEmptyConnectionPageOnly)
{
    Profile(u".thunderbird"_s, u"[Profile0]\nPath=p\nIsRelative=1\n"_s, u"p"_s, Prefs);
    TESettings settings;
    settings.Param(spYourEmail).SetStr(u"stored@example.org"_s);
    {
        TEMSettDialog page(ConnectionPageParams, settings, 0xC0E0C8);
        page.FormShow();
        EXPECT_EQ(page.EditRow(spSmtpServer)->text(), u"smtp.example.org"_s);
        EXPECT_EQ(page.EditRow(spYourEmail)->text(), u"jo@example.org"_s);
        // Nothing reaches the settings before OK.
        EXPECT_TRUE(settings.Param(spSmtpServer).GetStr().isEmpty());
    }
    // A stored server: the account is not looked at.
    settings.Param(spSmtpServer).SetStr(u"own.example.org"_s);
    TEMSettDialog page(ConnectionPageParams, settings, 0xC0E0C8);
    page.FormShow();
    EXPECT_EQ(page.EditRow(spYourEmail)->text(), u"stored@example.org"_s);
}

TEST_F(MailClientAccountTest, FlatpakAndSnapProfilesWithTheDefaultServerOrAnAccountWithout)
{
    // Flatpak, the profile marked default; the identity names no server: the default one.
    QString prefs = Prefs;
    prefs.remove(u"user_pref(\"mail.identity.id1.smtpServer\", \"smtp2\");\n"_s);
    Profile(u".var/app/org.mozilla.Thunderbird/.thunderbird"_s,
            u"[Profile0]\nName=a\nIsRelative=1\nPath=a.default\n\n"
            u"[Profile1]\nName=b\nIsRelative=1\nPath=b.default\nDefault=1\n"_s,
            u"b.default"_s, prefs);
    EXPECT_EQ(ReadMailClientAccount(Home()).SmtpServer, u"default.example.org"_s);
    QDir(Home() + u"/.var"_s).removeRecursively();

    // Snap, a profile at an absolute path whose default account has no identity: the next account's.
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
}

TEST_F(MailClientAccountTest, NoProfileOrNothingUsableGivesAnEmptyAccount)
{
    EXPECT_TRUE(ReadMailClientAccount(Home()).IsEmpty());
    // Two profiles, none marked default: which one is meant is unknown.
    Profile(u".thunderbird"_s, u"[Profile0]\nPath=a\nIsRelative=1\n[Profile1]\nPath=b\nIsRelative=1\n"_s, u"a"_s,
            Prefs);
    EXPECT_TRUE(ReadMailClientAccount(Home()).IsEmpty());
    // A profile whose prefs.js is no preference file.
    Profile(u".thunderbird"_s, u"[Profile0]\nPath=a\nIsRelative=1\n"_s, u"a"_s, u"\x01\x02 garbage \"\n"_s);
    EXPECT_TRUE(ReadMailClientAccount(Home()).IsEmpty());
}

TEST_F(MailClientAccountTest, OnlyRegularFilesAreReadAndNothingWaits)
{
    Profile(u".thunderbird"_s, u"[Profile0]\nPath=p\nIsRelative=1\n"_s, u"p"_s, Prefs);
    const QString prefs = Home() + u"/.thunderbird/p/prefs.js"_s;
    // A link to a device that never ends, then a named pipe nobody writes to.
    ASSERT_TRUE(QFile::remove(prefs) && QFile::link(u"/dev/zero"_s, prefs));
    EXPECT_TRUE(ReadsAnEmptyAccountSoon(Home()));
    ASSERT_TRUE(QFile::remove(prefs));
    ASSERT_EQ(::mkfifo(QFile::encodeName(prefs).constData(), 0600), 0);
    EXPECT_TRUE(ReadsAnEmptyAccountSoon(Home()));
}
