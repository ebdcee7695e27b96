#include "SMTPChck.h"

#include "HangGuard.h"
#include "TESettings.h"
#include "TestSmtpServer.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString TryAgain = u"\r\nPlease verify the settings and try again."_s;

class SMTPChckTest : public ::testing::Test {
protected:
    SMTPChckTest()
    {
        s.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
        s.Param(spSmtpTimeout).SetInt(4);
    }

    void Login(const QString &password)
    {
        s.Param(spSmtpAuth).SetBool(true);
        s.Param(spSmtpUser).SetStr(u"user"_s);
        s.Param(spPassword).SetStr(password);
    }

    // Runs one test as the job machine does: start, wait for the end.
    void Run(quint16 port)
    {
        s.Param(spSmtpPort).SetInt(port);
        TConnectionThread t;
        t.Setup(s);
        t.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return t.Terminated(); }, HangGuardMs))
            << "the connection test had still not ended after " << HangGuardMs / 1000 << " s";
        success = t.Success;
        text = t.ResultText();
    }

    TESettings s;
    bool success = false;
    QString text;
};

} // namespace

TEST_F(SMTPChckTest, ConnectionOnly)
{
    TestSmtpServer server;
    Run(server.PlainPort());
    EXPECT_TRUE(success);
    EXPECT_EQ(text, u"Connection successfully verified!"_s);
    ASSERT_TRUE(server.WaitForSessions(1));
    EXPECT_EQ(server.Sessions().first().Commands, (QStringList{u"EHLO"_s, u"QUIT"_s}));
}

TEST_F(SMTPChckTest, ConnectionAndAuthenticationOverTls)
{
    TestSmtpServer server;
    Login(u"secret"_s);
    s.Param(spSmtpSsl).SetBool(true);
    Run(server.TlsPort());
    EXPECT_TRUE(success) << text.toStdString();
    EXPECT_EQ(text, u"Connection and authentication successfully verified!"_s);
    ASSERT_TRUE(server.WaitForSessions(1));
    EXPECT_TRUE(server.Sessions().first().Tls);
    EXPECT_EQ(server.Sessions().first().AuthUser, u"user"_s);
}

TEST_F(SMTPChckTest, RefusedAuthentication)
{
    TestSmtpServerOptions options;
    options.RefuseAuth = true;
    TestSmtpServer server(options);
    Login(u"secret"_s);
    Run(server.PlainPort());
    EXPECT_FALSE(success);
    EXPECT_TRUE(text.startsWith(u"Authentication failed."_s + TryAgain + u"\r\n\r\nError: 535"_s))
        << text.toStdString();
}

TEST_F(SMTPChckTest, NoConnection)
{
    Login(u"secret"_s);
    Run(TestSmtpServer::UnusedPort());
    EXPECT_FALSE(success);
    EXPECT_TRUE(text.startsWith(u"Connection could not be established."_s + TryAgain + u"\r\n\r\nError: "_s))
        << text.toStdString();
    EXPECT_GT(text.size(), (u"Connection could not be established."_s + TryAgain + u"\r\n\r\nError: "_s).size());
}
