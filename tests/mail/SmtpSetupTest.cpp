#include "SmtpSetup.h"

#include "TESettings.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class SmtpSetupTest : public ::testing::Test {
protected:
    SmtpSetupTest()
    {
        s.Param(spSmtpServer).SetStr(u"mail.example.org"_s);
        s.Param(spYourEmail).SetStr(u"me@example.org"_s);
        s.Param(spYourName).SetStr(u"Me"_s);
        em.To = {u"you@example.org"_s, u"You"_s};
        em.Subject = u"Hi"_s;
        em.Body = u"Body\r\n"_s;
        em.MimeEna = true;
        em.CharSet = u"iso-8859-1"_s;
    }

    TESettings s;
    TEmailMessage em;
};

} // namespace

TEST_F(SmtpSetupTest, ConfigureSmtpTlsModeByPortAndSwitch)
{
    struct Case {
        bool ssl;
        int port;
        SmtpTls tls;
    };
    for (const Case c :
         {Case{true, 587, SmtpTls::StartTls}, Case{true, 465, SmtpTls::Implicit}, Case{true, 25, SmtpTls::Implicit},
          Case{false, 587, SmtpTls::None}, Case{false, 465, SmtpTls::None}}) {
        s.Param(spSmtpSsl).SetBool(c.ssl);
        s.Param(spSmtpPort).SetInt(c.port);
        const SmtpOptions o = ConfigureSmtp(s);
        EXPECT_EQ(o.UseTLS, c.tls) << c.ssl << ' ' << c.port;
        EXPECT_EQ(o.Port, c.port);
        EXPECT_EQ(o.Host, u"mail.example.org"_s);
    }
}

TEST_F(SmtpSetupTest, ConfigureSmtpTimeoutsAreHalfSecondsOfTheSetting)
{
    for (const auto &[setting, ms] : {std::pair{1, 500}, {60, 30000}, {300, 150000}}) {
        s.Param(spSmtpTimeout).SetInt(setting);
        const SmtpOptions o = ConfigureSmtp(s);
        EXPECT_EQ(o.ConnectTimeoutMs, ms);
        EXPECT_EQ(o.ReadTimeoutMs, ms);
    }
}

TEST_F(SmtpSetupTest, ConfigureSmtpCredentialsOnlyWithAuthentication)
{
    s.Param(spSmtpUser).SetStr(u"joe"_s);
    s.Param(spPassword).SetStr(u"pw"_s);
    SmtpOptions o = ConfigureSmtp(s);
    EXPECT_EQ(o.AuthType, SmtpAuth::None);
    EXPECT_TRUE(o.Username.isEmpty());
    EXPECT_TRUE(o.Password.isEmpty());

    s.Param(spSmtpAuth).SetBool(true);
    o = ConfigureSmtp(s);
    EXPECT_EQ(o.AuthType, SmtpAuth::Login);
    EXPECT_EQ(o.Username, u"joe"_s);
    EXPECT_EQ(o.Password, u"pw"_s);
}

TEST_F(SmtpSetupTest, BuildMessageAddresses)
{
    TMEMessage msg;
    BuildMessage(msg, em, s);
    EXPECT_EQ(msg.From, (TEmailAddressItem{u"me@example.org"_s, u"Me"_s}));
    EXPECT_EQ(msg.Recipients, (TEmailAddressList{em.To}));
    EXPECT_TRUE(msg.BccList.isEmpty());
    EXPECT_TRUE(msg.ReplyTo.isEmpty());
    EXPECT_EQ(msg.Subject, u"Hi"_s);

    em.Bcc = {{u"b1@example.org"_s, u"B1"_s}, {u"b2@example.org"_s, {}}, {u"b3@example.org"_s, {}}};
    em.BccTo = u"copy@example.org"_s;
    em.ReplyTo = u"reply@example.org"_s;
    TMEMessage group;
    BuildMessage(group, em, s);
    ASSERT_EQ(group.BccList.size(), 4);
    EXPECT_EQ(group.BccList.mid(0, 3), em.Bcc);
    EXPECT_EQ(group.BccList.last(), (TEmailAddressItem{u"copy@example.org"_s, {}}));
    EXPECT_EQ(group.ReplyTo, (TEmailAddressList{{u"reply@example.org"_s, {}}}));
    EXPECT_EQ(group.RecipientAddresses(), (QStringList{u"you@example.org"_s, u"b1@example.org"_s, u"b2@example.org"_s,
                                                       u"b3@example.org"_s, u"copy@example.org"_s}));
}

TEST_F(SmtpSetupTest, BuildMessageBodyTypeAndCharSet)
{
    struct Case {
        bool html;
        QString htmlCharset;
        bool mime;
        QString type;
        QString charSet;
    };
    const Case cases[] = {
        {false, {}, false, u"text/plain"_s, {}},
        {false, {}, true, u"text/plain"_s, u"iso-8859-1"_s},
        {true, {}, false, u"text/html"_s, {}}, // an HTML message naming no set carries none
        {true, u"windows-1250"_s, false, u"text/html"_s, u"windows-1250"_s},
        {true, u"windows-1250"_s, true, u"text/html"_s, u"windows-1250"_s},
    };
    for (const Case &c : cases) {
        s.IsHtml = c.html;
        s.HtmlCharset = c.htmlCharset;
        em.MimeEna = c.mime;
        TMEMessage msg;
        BuildMessage(msg, em, s);
        EXPECT_EQ(msg.ContentType, c.type);
        EXPECT_EQ(msg.CharSet, c.charSet) << c.html << c.mime;
        EXPECT_EQ(msg.Body, em.Body);
        EXPECT_TRUE(msg.MessageParts.isEmpty());
    }
}

TEST_F(SmtpSetupTest, BuildMessageAttachmentsFollowTheText)
{
    s.AttachmentPaths = {u"/data/Report.PDF"_s, u"/data/notes.unknownext"_s, u"/data/page.html"_s};
    TMEMessage msg;
    BuildMessage(msg, em, s);
    EXPECT_EQ(msg.ContentType, u"multipart/mixed"_s);
    ASSERT_EQ(msg.MessageParts.size(), 4);
    EXPECT_EQ(msg.MessageParts[0].PartKind, TMEPart::Text);
    EXPECT_EQ(msg.MessageParts[0].ContentType, u"text/plain"_s);
    EXPECT_EQ(msg.MessageParts[0].CharSet, u"iso-8859-1"_s);
    EXPECT_EQ(msg.MessageParts[0].Body, em.Body);
    // Typed by the row of the lower-case extension; no row, no type.
    EXPECT_EQ(msg.MessageParts[1].ContentType, s.MimeTable().Value(u".pdf"_s));
    EXPECT_FALSE(msg.MessageParts[1].ContentType.isEmpty());
    EXPECT_EQ(msg.MessageParts[2].ContentType, QString());
    EXPECT_EQ(msg.MessageParts[3].ContentType, u"text/html"_s);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(msg.MessageParts[i].PartKind, TMEPart::AttachmentFile);
        EXPECT_EQ(msg.MessageParts[i].FileName, s.AttachmentPaths[i - 1]);
    }
}

TEST_F(SmtpSetupTest, SendOptionsFollowTheSwitches)
{
    s.IsHtml = true;
    s.HtmlCharset = u"windows-1250"_s;
    s.Param(spCharSet).SetStr(u"utf-8"_s);
    s.ExtraHeaders = {u"X-Priority: 3 (Normal)"_s, u""_s, u"Importance: Normal"_s};

    s.Param(spMimeEna).SetBool(false);
    s.Param(spExtraHdrEna).SetBool(false);
    TMEMessage off;
    BuildMessage(off, em, s);
    AddSendOptions(off, s);
    EXPECT_EQ(off.Encoding, meDefault);
    EXPECT_EQ(off.CharSet, u"windows-1250"_s);
    EXPECT_TRUE(off.ExtraHeaders.isEmpty());

    s.Param(spMimeEna).SetBool(true);
    s.Param(spExtraHdrEna).SetBool(true);
    TMEMessage on;
    BuildMessage(on, em, s);
    AddSendOptions(on, s);
    EXPECT_EQ(on.Encoding, meMIME);
    EXPECT_EQ(on.CharSet, u"utf-8"_s); // replaces even the HTML's own
    EXPECT_EQ(on.ExtraHeaders, s.ExtraHeaders);
}

TEST_F(SmtpSetupTest, InitializeIsoPicksHeaderEncoding)
{
    TMEMessage msg;
    QChar kind;
    QString cs;
    for (const auto &[charSet, expected] : {std::pair{u"ISO-8859-1"_s, u'Q'}, {u"utf-8"_s, u'B'}}) {
        em.CharSet = charSet;
        msg.AssignMimeOptions(em);
        msg.InitializeISO(kind, cs);
        EXPECT_EQ(kind, expected);
        EXPECT_EQ(cs, charSet);
    }
    // MIME off: the message's own set, UTF-8 when it has none.
    em.MimeEna = false;
    msg.AssignMimeOptions(em);
    msg.InitializeISO(kind, cs);
    EXPECT_EQ(cs, u"utf-8"_s);
    EXPECT_EQ(kind, u'B');
    msg.CharSet = u"iso-8859-1"_s;
    msg.InitializeISO(kind, cs);
    EXPECT_EQ(cs, u"iso-8859-1"_s);
    EXPECT_EQ(kind, u'Q');
}
