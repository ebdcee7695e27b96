// The sending thread against the real test server on loopback (and a session
// in memory where only the thread is under test), driven the way the job
// machine drives it: hand over, wait until not busy, read the state.
#include "SMTP.h"

#include "EmailAddress.h"
#include "HangGuard.h"
#include "SmtpSession.h"
#include "TESettings.h"
#include "TestSmtpServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString Lf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

class SMTPTest : public ::testing::Test {
protected:
    SMTPTest()
    {
        s.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
        s.Param(spSmtpTimeout).SetInt(4); // 2 s
        s.Param(spYourEmail).SetStr(u"me@example.org"_s);
        s.Param(spYourName).SetStr(u"Sender"_s);
        s.Param(spMimeEna).SetBool(false);
        em.To = {u"you@example.org"_s, u"You"_s};
        em.Subject = u"Subject"_s;
        em.Body = u"Body\r\n"_s;
    }

    void Point(quint16 port, bool ssl = false)
    {
        s.Param(spSmtpPort).SetInt(port);
        s.Param(spSmtpSsl).SetBool(ssl);
    }

    void Login(const QString &password = u"secret"_s)
    {
        s.Param(spSmtpAuth).SetBool(true);
        s.Param(spSmtpUser).SetStr(u"user"_s);
        s.Param(spPassword).SetStr(password);
    }

    void Mime(const QString &charSet)
    {
        s.Param(spMimeEna).SetBool(true);
        s.Param(spCharSet).SetStr(charSet);
        em.MimeEna = true;
        em.CharSet = charSet;
    }

    std::unique_ptr<TSMTPThread> Started()
    {
        auto t = std::make_unique<TSMTPThread>();
        t->Setup(s);
        t->Start();
        return t;
    }

    static bool Idle(const TSMTPThread &t)
    {
        const SmtpThreadState st = t.State;
        return !t.IsBusy()
               && (st == SmtpThreadState::Idle || st == SmtpThreadState::Sent || st == SmtpThreadState::SendFailed);
    }

    // One hand-over as the job machine does it; returns the state after it.
    static SmtpThreadState Send(TSMTPThread &t, const TEmailMessage &m)
    {
        if (!QTest::qWaitFor([&] { return Idle(t) || t.Terminated(); }, HangGuardMs)) {
            ADD_FAILURE() << "the thread was still neither ready for an e-mail nor ended after " << HangGuardMs / 1000
                          << " s";
            return t.State;
        }
        if (t.Terminated())
            return t.State;
        t.Hand(m);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !t.IsBusy(); }, HangGuardMs))
            << "the thread was still busy with the e-mail after " << HangGuardMs / 1000 << " s";
        return t.State;
    }

    static testing::AssertionResult Stop(TSMTPThread &t)
    {
        t.RequestStop();
        if (QTest::qWaitFor([&] { return t.Terminated(); }, HangGuardMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "the thread had still not ended " << HangGuardMs / 1000 << " s after the stop request";
    }

    TESettings s;
    TEmailMessage em;
};

} // namespace

// SSL off, SSL on with TLS from the first byte (any port but 587) and SSL on
// with STARTTLS (port 587; the test server cannot sit there, so the session
// factory is told the port was 587): the server sees encryption as asked.
TEST_F(SMTPTest, TlsModesReachTheServerEncryptedAsAsked)
{
    TestSmtpServer server;
    Login();

    Point(server.PlainPort());
    auto plain = Started();
    EXPECT_EQ(Send(*plain, em), SmtpThreadState::Sent) << plain->ErrorText().toStdString();
    EXPECT_TRUE(Stop(*plain));

    Point(server.TlsPort(), true);
    auto implicit = Started();
    EXPECT_EQ(Send(*implicit, em), SmtpThreadState::Sent) << implicit->ErrorText().toStdString();
    EXPECT_TRUE(Stop(*implicit));

    Point(server.StartTlsPort(), true);
    auto startTls = std::make_unique<TSMTPThread>();
    startTls->Setup(s);
    startTls->SetSessionFactory([](SmtpOptions o) {
        EXPECT_EQ(o.UseTLS, SmtpTls::Implicit);
        o.UseTLS = SmtpTls::StartTls;
        return CreateSmtpSession(o);
    });
    startTls->Start();
    EXPECT_EQ(Send(*startTls, em), SmtpThreadState::Sent) << startTls->ErrorText().toStdString();
    EXPECT_TRUE(Stop(*startTls));

    ASSERT_TRUE(server.WaitForSessions(3));
    const QList<RecordedSession> sessions = server.Sessions();
    ASSERT_EQ(sessions.size(), 3);
    EXPECT_EQ(sessions[0].Listener, u"plain"_s);
    EXPECT_FALSE(sessions[0].Tls);
    EXPECT_EQ(sessions[1].Listener, u"tls"_s);
    EXPECT_TRUE(sessions[1].Tls);
    EXPECT_EQ(sessions[2].Listener, u"starttls"_s);
    EXPECT_TRUE(sessions[2].Tls);
    for (const RecordedSession &session : sessions) {
        EXPECT_EQ(session.AuthUser, u"user"_s);
        EXPECT_EQ(session.Messages, 1);
        EXPECT_EQ(session.Commands.last(), u"QUIT"_s);
    }
}

TEST_F(SMTPTest, SslWithoutStartTlsOnTheServerIsAConnectionError)
{
    TestSmtpServer server;
    Point(server.PlainPort(), true);
    auto t = std::make_unique<TSMTPThread>();
    t->Setup(s);
    t->SetSessionFactory([](SmtpOptions o) {
        o.UseTLS = SmtpTls::StartTls;
        return CreateSmtpSession(o);
    });
    t->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return t->Terminated(); }, HangGuardMs))
        << "the thread had still not ended after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(t->State, SmtpThreadState::ConnectionError);
    EXPECT_TRUE(t->ErrorText().startsWith(u"Connection Error.\r\n\r\nError Message: "_s));
    EXPECT_TRUE(t->ErrorText().contains(u"STARTTLS"_s));
}

// The envelope holds To, the BCC group and the BCC copy; no BCC address shows
// in the message itself.
TEST_F(SMTPTest, BccGoesToTheEnvelopeOnly)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    em.To = {u"list@example.org"_s, u"undisclosed recipients"_s};
    em.Bcc = {{u"b1@example.org"_s, u"Bee One"_s}, {u"b2@example.org"_s, {}}, {u"b3@example.org"_s, {}}};
    em.BccTo = u"copy@example.org"_s;
    em.ReplyTo = u"reply@example.org"_s;
    auto t = Started();
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    ASSERT_TRUE(Stop(*t));

    const QList<RecordedMessage> messages = server.Messages();
    ASSERT_EQ(messages.size(), 1);
    const RecordedMessage &m = messages[0];
    EXPECT_EQ(m.MailFrom, u"me@example.org"_s);
    EXPECT_EQ(m.RcptTos, (QStringList{u"list@example.org"_s, u"b1@example.org"_s, u"b2@example.org"_s,
                                      u"b3@example.org"_s, u"copy@example.org"_s}));
    EXPECT_FALSE(m.HasHeader(u"Bcc"_s));
    // Whole addresses, and not in the Message-ID: its random part before the
    // sender's domain may well end in "b2".
    QByteArray data = m.Data;
    data.replace(m.Header(u"Message-ID"_s).toLatin1(), QByteArray());
    for (const char *hidden : {"b1@example.org", "b2@example.org", "b3@example.org", "copy@example.org", "Bee One"})
        EXPECT_FALSE(data.contains(hidden)) << hidden;
    EXPECT_EQ(m.Header(u"To"_s), u"undisclosed recipients <list@example.org>"_s);
    EXPECT_EQ(m.Header(u"Reply-To"_s), u"reply@example.org"_s);
}

// Subject and names outside ASCII, in Q (iso-8859-1) and B (utf-8) encoded
// words, read back as the original text; the body too, in its character set.
TEST_F(SMTPTest, HeadersAndBodyDecodeToTheOriginalText)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    s.Param(spYourName).SetStr(u"J\u00FCrgen M\u00FCller"_s);

    struct Case {
        QString charSet;
        QString subject;
        QString name;
        QString body;
        QString encodedKind;
    };
    const Case cases[] = {
        {u"iso-8859-1"_s, u"Gr\u00FC\u00DFe aus K\u00F6ln, \u00E0 bient\u00F4t! "_s.repeated(3), u"Ren\u00E9e D'Arcy"_s,
         u"Sch\u00F6ne Gr\u00FC\u00DFe\r\n= equals = \r\n"_s, u"?Q?"_s},
        {u"utf-8"_s, u"\u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600 \u2014 "_s.repeated(5),
         u"\u0418\u0432\u0430\u043D"_s,
         u"\u041F\u0440\u0438\u0432\u0435\u0442\r\n"_s + QString(90, u'\u00E9') + u"\r\n"_s, u"?B?"_s},
    };
    auto t = Started();
    for (const Case &c : cases) {
        Mime(c.charSet);
        em.Subject = c.subject;
        em.To = {u"you@example.org"_s, c.name};
        em.Body = c.body;
        ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    }
    ASSERT_TRUE(Stop(*t));

    const QList<RecordedMessage> messages = server.Messages();
    ASSERT_EQ(messages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const Case &c = cases[i];
        const RecordedMessage &m = messages[i];
        SCOPED_TRACE(c.charSet.toStdString());
        EXPECT_EQ(m.Header(u"Subject"_s), c.subject);
        EXPECT_TRUE(m.RawHeader(u"Subject"_s).contains(c.encodedKind));
        EXPECT_EQ(m.Header(u"From"_s), u"J\u00FCrgen M\u00FCller <me@example.org>"_s);
        EXPECT_EQ(m.Header(u"To"_s), c.name + u" <you@example.org>"_s);
        EXPECT_EQ(m.Header(u"MIME-Version"_s), u"1.0"_s);
        ASSERT_EQ(m.Parts.size(), 1);
        EXPECT_EQ(m.Parts[0].Charset, c.charSet);
        EXPECT_EQ(Lf(m.Parts[0].Text), Lf(c.body));
        for (const QByteArray &line : m.HeaderBlock().split('\n'))
            EXPECT_LE(line.size(), 80) << line.constData();
    }
}

// Content type and character set for text and HTML, with MIME on and off.
TEST_F(SMTPTest, ContentTypeAndCharSetByMessageKind)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    QTemporaryDir dir;
    auto t = Started();

    // Text, MIME off: text/plain, no character set, no MIME version.
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent);
    // Text, MIME on.
    Mime(u"iso-8859-1"_s);
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent);
    // HTML with its own character set, MIME off, then MIME on (the setting wins).
    s.IsHtml = true;
    s.HtmlCharset = u"windows-1250"_s;
    s.Param(spMimeEna).SetBool(false);
    em.MimeEna = false;
    const QString html = u"<html><body>\u0160koda</body></html>\r\n"_s;
    em.Body = html;
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent);
    Mime(u"utf-8"_s);
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent);
    // With attachments: multipart, the text first with the body's set.
    s.IsHtml = false;
    s.HtmlCharset.clear();
    Mime(u"iso-8859-1"_s);
    em.Body = u"Caf\u00E9\r\n"_s;
    const QString path = dir.filePath(u"Bericht \u00C4.PDF"_s);
    QByteArray bytes(5000, Qt::Uninitialized);
    for (char &b : bytes)
        b = static_cast<char>(QRandomGenerator::global()->bounded(256));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    s.AttachmentPaths = {path};
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    ASSERT_TRUE(Stop(*t));

    const QList<RecordedMessage> m = server.Messages();
    ASSERT_EQ(m.size(), 5);
    EXPECT_EQ(m[0].Parts[0].ContentType, u"text/plain"_s);
    EXPECT_EQ(m[0].Parts[0].Charset, QString());
    EXPECT_FALSE(m[0].HasHeader(u"MIME-Version"_s));

    EXPECT_EQ(m[1].Parts[0].ContentType, u"text/plain"_s);
    EXPECT_EQ(m[1].Parts[0].Charset, u"iso-8859-1"_s);
    EXPECT_TRUE(m[1].HasHeader(u"MIME-Version"_s));

    EXPECT_EQ(m[2].Parts[0].ContentType, u"text/html"_s);
    EXPECT_EQ(m[2].Parts[0].Charset, u"windows-1250"_s);
    EXPECT_EQ(Lf(m[2].Parts[0].Text), Lf(html));
    EXPECT_EQ(m[3].Parts[0].Charset, u"utf-8"_s);
    EXPECT_EQ(Lf(m[3].Parts[0].Text), Lf(html));

    EXPECT_TRUE(m[4].RawHeader(u"Content-Type"_s).startsWith(u"multipart/mixed"_s));
    ASSERT_EQ(m[4].Parts.size(), 2);
    EXPECT_EQ(m[4].Parts[0].ContentType, u"text/plain"_s);
    EXPECT_EQ(m[4].Parts[0].Charset, u"iso-8859-1"_s);
    EXPECT_EQ(Lf(m[4].Parts[0].Text), u"Caf\u00E9\n"_s);
    EXPECT_EQ(m[4].Parts[1].ContentType, s.MimeTable().Value(u".pdf"_s));
    EXPECT_EQ(m[4].Parts[1].FileName, u"Bericht \u00C4.PDF"_s);
    EXPECT_EQ(m[4].Parts[1].Payload, bytes);
}

// A charset name from the message file or the setting, with line breaks and
// blanks around it or no known set at all, never breaks the header block: the
// name goes out trimmed, or UTF-8 is used, and every text decodes.
TEST_F(SMTPTest, CharsetNamesReachTheHeaderClean)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    const QString subject = u"Gr\u00FC\u00DFe"_s;
    em.Subject = subject;
    em.To = {u"you@example.org"_s, u"J\u00FCrgen"_s};
    s.MessageText = {u"<html><head><meta charset=iso-8859-1"_s, QString(), u"></head>"_s,
                     u"<body>K\u00F6ln</body></html>"_s};
    s.AnalyseMessage();
    em.Body = s.MessageBody();
    auto t = Started();
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    for (const QString &charSet : {u"utf-8\r\n\r\nX-Evil: 1"_s, u"no-such-set"_s}) {
        Mime(charSet);
        ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    }
    ASSERT_TRUE(Stop(*t));

    const QList<RecordedMessage> m = server.Messages();
    ASSERT_EQ(m.size(), 3);
    const QString expectedSets[] = {u"iso-8859-1"_s, u"utf-8"_s, u"utf-8"_s};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m[i].Header(u"Subject"_s), subject);
        EXPECT_EQ(m[i].Header(u"To"_s), u"J\u00FCrgen <you@example.org>"_s);
        EXPECT_FALSE(m[i].HasHeader(u"X-Evil"_s));
        ASSERT_EQ(m[i].Parts.size(), 1);
        EXPECT_EQ(m[i].Parts[0].Charset, expectedSets[i]);
        EXPECT_TRUE(m[i].Parts[0].Text.contains(u"K\u00F6ln"_s));
        for (const QByteArray &line : m[i].HeaderBlock().split('\n'))
            EXPECT_TRUE(line.isEmpty() || line.startsWith(' ') || line.contains(':')) << line.constData();
    }
}

// List values of any length make header lines within 78 characters that read
// back as the values: a name without blanks, a quoted name with specials, a
// subject with a run of 1,500 blanks or one long word, an extra header, an
// attachment with a long name.
TEST_F(SMTPTest, LongValuesFoldIntoShortHeaderLines)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    QTemporaryDir dir;
    const QString fileName = QString(120, u'\u00C4') + u".txt"_s;
    {
        QFile f(dir.filePath(fileName));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("attached");
    }
    s.Param(spExtraHdrEna).SetBool(true);
    s.ExtraHeaders = {u"X-Note: "_s + u"note "_s.repeated(300)};
    struct Case {
        QString name;
        QString subject;
        QStringList attachments;
    };
    const Case cases[] = {
        {QString(1500, u'x'), u"Hello"_s + QString(1500, u' ') + u"world"_s, {}},
        {u"Doe, John"_s.repeated(150), u"word "_s.repeated(300) + QString(200, u'w'), {dir.filePath(fileName)}},
    };
    auto t = Started();
    for (const Case &c : cases) {
        em.To = {u"you@example.org"_s, c.name};
        em.Subject = c.subject;
        s.AttachmentPaths = c.attachments;
        ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    }
    ASSERT_TRUE(Stop(*t));

    const QList<RecordedMessage> m = server.Messages();
    ASSERT_EQ(m.size(), 2);
    const auto unfolded = [](QString value) { return value.remove(u"\r\n"_s).remove(u'\n'); };
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(unfolded(m[i].Header(u"Subject"_s)), cases[i].subject);
        const QString name = i == 0 ? cases[i].name : u'"' + cases[i].name + u'"';
        EXPECT_EQ(unfolded(m[i].Header(u"To"_s)), name + u" <you@example.org>"_s);
        EXPECT_EQ(unfolded(m[i].Header(u"X-Note"_s)), u"note "_s.repeated(300).trimmed());
        for (QByteArray line : m[i].HeaderBlock().split('\n')) {
            line.chop(1); // CR
            EXPECT_LE(line.size(), 78) << line.constData();
        }
    }
    ASSERT_EQ(m[1].Parts.size(), 2);
    EXPECT_EQ(m[1].Parts[1].FileName, fileName);
    for (QByteArray line : m[1].Data.split('\n')) {
        line.chop(1);
        EXPECT_LE(line.size(), 78) << line.constData();
    }
}

TEST_F(SMTPTest, BodyLinesStartingWithADotSurvive)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    em.Body = u".hidden\r\n.\r\n..two\r\nend\r\n"_s;
    auto t = Started();
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent);
    Mime(u"utf-8"_s);
    em.Body = u".caf\u00E9\r\n.\r\n"_s; // the quoted-printable road
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent);
    ASSERT_TRUE(Stop(*t));
    const QList<RecordedMessage> m = server.Messages();
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(Lf(m[0].Parts[0].Text), u".hidden\n.\n..two\nend\n"_s);
    EXPECT_EQ(Lf(m[1].Parts[0].Text), u".caf\u00E9\n.\n"_s);
}

// Line breaks and NULs in the subject, names and addresses taken from the
// list, and in the sender's name and an extra header, never make a header or
// an SMTP command of their own, and no NUL reaches the wire.
TEST_F(SMTPTest, LineBreaksInListValuesInjectNothing)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    s.Param(spYourName).SetStr(u"Me\u0000\r\nX-Injected: yes"_s);
    s.Param(spExtraHdrEna).SetBool(true);
    s.ExtraHeaders = {u"X-Note: a\u0000\r\nBcc: spy@example.org"_s};
    em.Subject = u"Hello\r\nBcc: spy@example.org"_s;
    em.To = {u"you@example.org"_s, u"You\u0000\r\nX-Injected: yes"_s};
    auto t = Started();
    ASSERT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();

    em.Subject = u"Second"_s;
    em.To = {u"you@example.org>\r\nRCPT TO:<spy@example.org"_s, {}};
    EXPECT_EQ(Send(*t, em), SmtpThreadState::SendFailed);
    EXPECT_TRUE(t->ErrorText().startsWith(u"Invalid e-mail address: "_s)) << t->ErrorText().toStdString();
    ASSERT_TRUE(Stop(*t));

    const QList<RecordedMessage> m = server.Messages();
    ASSERT_GE(m.size(), 1);
    EXPECT_EQ(m[0].Header(u"Subject"_s), u"Hello Bcc: spy@example.org"_s);
    EXPECT_FALSE(m[0].HasHeader(u"Bcc"_s));
    EXPECT_FALSE(m[0].HasHeader(u"X-Injected"_s));
    EXPECT_FALSE(m[0].Data.contains('\0'));
    EXPECT_EQ(m[0].RcptTos, (QStringList{u"you@example.org"_s}));
    for (const RecordedMessage &message : m)
        EXPECT_FALSE(message.RcptTos.contains(u"spy@example.org"_s));
    ASSERT_TRUE(server.WaitForSessions(1));
    EXPECT_EQ(server.Sessions().first().Commands.count(u"RCPT"_s), 1); // the second e-mail never left
}

// An address that is no valid e-mail address fails its own e-mail before
// anything of it is sent, and the session goes on; in a BCC group only that
// address is left out. The server sees only well-formed addresses.
TEST_F(SMTPTest, InvalidAddressesNeverReachTheServer)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    const QString longAddress = QString(1200, u'a') + u"@example.org"_s;
    auto t = Started();
    for (const QString &bad :
         {u"c@example.org>\tNOTIFY=SUCCESS"_s, u"c@example.org> NOTIFY=SUCCESS"_s, u"a\u0000b@example.org"_s,
          u"j\u00FCrgen@example.org"_s, u"Bcc: evil@x.org"_s, longAddress}) {
        em.To = {bad, u"Bad"_s};
        EXPECT_EQ(Send(*t, em), SmtpThreadState::SendFailed) << bad.toStdString();
        EXPECT_EQ(t->ErrorText(), InvalidAddressText(bad));
    }
    em.To = {u"you@example.org"_s, {}};
    for (const int setting : {spYourEmail, spBccTo, spReplyTo}) {
        const QString good = s.Param(setting).GetStr();
        s.Param(setting).SetStr(u"evil@x.org\r\nDATA"_s);
        em.BccTo = s.Param(spBccTo).GetStr();
        em.ReplyTo = s.Param(spReplyTo).GetStr();
        EXPECT_EQ(Send(*t, em), SmtpThreadState::SendFailed) << setting;
        EXPECT_TRUE(t->ErrorText().startsWith(u"Invalid e-mail address: evil@x.org"_s)) << t->ErrorText().toStdString();
        s.Param(setting).SetStr(good);
    }
    em.BccTo.clear();
    em.ReplyTo.clear();
    em.To = {u"list@example.org"_s, u"undisclosed recipients"_s};
    em.Bcc = {{u"b1@example.org"_s, {}}, {u"b2 @example.org"_s, {}}, {u"b3@example.org"_s, {}}};
    EXPECT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    em.Bcc = {{u"b4@@example.org"_s, {}}, {u"<b5@example.org>"_s, {}}};
    EXPECT_EQ(Send(*t, em), SmtpThreadState::SendFailed);
    EXPECT_EQ(t->ErrorText(), InvalidAddressText(u"b4@@example.org"_s));
    ASSERT_TRUE(Stop(*t));

    const QList<RecordedMessage> m = server.Messages();
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].RcptTos, (QStringList{u"list@example.org"_s, u"b1@example.org"_s, u"b3@example.org"_s}));
    ASSERT_TRUE(server.WaitForSessions(1));
    const QStringList commands = server.Sessions().first().Commands;
    EXPECT_EQ(commands.count(u"MAIL"_s), 1);
    EXPECT_EQ(commands.count(u"RCPT"_s), 3);
}

TEST_F(SMTPTest, WrongPasswordIsAnAuthenticationError)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    Login(u"wrong"_s);
    auto t = Started();
    ASSERT_TRUE(QTest::qWaitFor([&] { return t->Terminated(); }, HangGuardMs))
        << "the thread had still not ended after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(t->State, SmtpThreadState::AuthenticationError);
    EXPECT_TRUE(t->ErrorText().startsWith(u"Authentication Error.\r\n\r\nError Message: 535"_s))
        << t->ErrorText().toStdString();
    EXPECT_TRUE(IsFatalState(t->State));
}

TEST_F(SMTPTest, NothingListeningIsAConnectionError)
{
    Point(TestSmtpServer::UnusedPort());
    auto t = Started();
    ASSERT_TRUE(QTest::qWaitFor([&] { return t->Terminated(); }, HangGuardMs))
        << "the thread had still not ended after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(t->State, SmtpThreadState::ConnectionError);
    EXPECT_TRUE(t->ErrorText().startsWith(u"Connection Error.\r\n\r\nError Message: "_s));
    EXPECT_GT(t->ErrorText().size(), 40);
}

// A server that never greets: the wait ends after SMTP_Timeout x 500 ms.
TEST_F(SMTPTest, SilentServerTimesOutAsConnectionError)
{
    TestSmtpServer server;
    Point(server.SilentPort());
    s.Param(spSmtpTimeout).SetInt(1);
    QElapsedTimer timer;
    timer.start();
    auto t = Started();
    ASSERT_TRUE(QTest::qWaitFor([&] { return t->Terminated(); }, HangGuardMs))
        << "the thread had still not ended after " << HangGuardMs / 1000 << " s";
    EXPECT_GE(timer.elapsed(), 450);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(t->State, SmtpThreadState::ConnectionError);
}

// A refused recipient fails that e-mail only; the next goes over the same session.
TEST_F(SMTPTest, RefusedRecipientFailsOneMessageOnly)
{
    TestSmtpServerOptions options;
    options.RefuseRecipients = {u"gone@example.org"_s};
    TestSmtpServer server(options);
    Point(server.PlainPort());
    auto t = Started();
    em.To = {u"gone@example.org"_s, {}};
    EXPECT_EQ(Send(*t, em), SmtpThreadState::SendFailed);
    EXPECT_TRUE(t->ErrorText().contains(u"gone@example.org"_s)) << t->ErrorText().toStdString();
    EXPECT_FALSE(t->ErrorText().contains(u"Error Message"_s));
    em.To = {u"you@example.org"_s, {}};
    EXPECT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    ASSERT_TRUE(Stop(*t));
    EXPECT_EQ(t->State, SmtpThreadState::Sent);
    ASSERT_TRUE(server.WaitForSessions(1));
    EXPECT_EQ(server.Sessions().size(), 1);
    EXPECT_EQ(server.Messages().size(), 1);
}

// An e-mail that cannot be prepared (its attachment gone since the job
// started) fails with the reason; the hand-over ends and the session goes on.
TEST_F(SMTPTest, PreparationErrorFailsThatMessageAndReleasesIt)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.txt"_s);
    s.AttachmentPaths = {path};
    auto t = Started();
    EXPECT_EQ(Send(*t, em), SmtpThreadState::SendFailed);
    EXPECT_EQ(t->Pending(), nullptr);
    EXPECT_TRUE(t->ErrorText().contains(path)) << t->ErrorText().toStdString();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("back");
    }
    EXPECT_EQ(Send(*t, em), SmtpThreadState::Sent) << t->ErrorText().toStdString();
    ASSERT_TRUE(Stop(*t));
    EXPECT_EQ(server.Messages().size(), 1);
}

// The server hangs up after the first message: the second send ends the
// session as an unexpected error, and its hand-over is released.
TEST_F(SMTPTest, LostConnectionDuringASendIsUnexpected)
{
    TestSmtpServerOptions options;
    options.DropAfter = 1;
    TestSmtpServer server(options);
    Point(server.PlainPort());
    auto t = Started();
    EXPECT_EQ(Send(*t, em), SmtpThreadState::Sent);
    ASSERT_TRUE(server.WaitForSessions(1)); // the server has hung up
    t->Hand(em);
    ASSERT_TRUE(QTest::qWaitFor([&] { return t->Terminated(); }, HangGuardMs))
        << "the thread had still not ended after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(t->State, SmtpThreadState::UnexpectedError);
    EXPECT_EQ(t->Pending(), nullptr);
    EXPECT_FALSE(t->IsBusy());
    EXPECT_TRUE(t->ErrorText().startsWith(u"Unexpected Error.\r\n\r\nError Message: "_s))
        << t->ErrorText().toStdString();
}

// After the sends, a server that has already hung up changes nothing: QUIT
// failing is no error.
TEST_F(SMTPTest, FailingQuitIsIgnored)
{
    TestSmtpServerOptions options;
    options.DropAfter = 1;
    TestSmtpServer server(options);
    Point(server.PlainPort());
    auto t = Started();
    EXPECT_EQ(Send(*t, em), SmtpThreadState::Sent);
    ASSERT_TRUE(server.WaitForSessions(1));
    ASSERT_TRUE(Stop(*t));
    EXPECT_EQ(t->State, SmtpThreadState::Sent);
}

TEST_F(SMTPTest, StopWhileIdleEndsPromptly)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    auto t = Started();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(*t); }, HangGuardMs))
        << "the thread was still not idle after " << HangGuardMs / 1000 << " s";
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(Stop(*t));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(t->State, SmtpThreadState::Idle);
    ASSERT_TRUE(server.WaitForSessions(1));
    EXPECT_EQ(server.Sessions().first().Commands, (QStringList{u"EHLO"_s, u"QUIT"_s}));
}

// Destroying a running thread stops it and waits for its end.
TEST_F(SMTPTest, DestroyingARunningThreadStopsIt)
{
    TestSmtpServer server;
    Point(server.PlainPort());
    auto t = Started();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(*t); }, HangGuardMs))
        << "the thread was still not idle after " << HangGuardMs / 1000 << " s";
    t.reset();
    ASSERT_TRUE(server.WaitForSessions(1));
    EXPECT_EQ(server.Sessions().first().Commands.last(), u"QUIT"_s);
}

namespace {

/** @short A session in memory: connects at once and records the first recipient of every send. */
class MemorySession : public SmtpSession {
public:
    explicit MemorySession(QStringList &sent)
        : m_sent(sent)
    {
    }
    void Connect() override {}
    void Authenticate() override {}
    void Send(const QString &, const QStringList &recipients, const QByteArray &) override
    {
        m_sent.append(recipients.first());
    }
    void Disconnect() noexcept override {}
    void Abort() noexcept override {}

private:
    QStringList &m_sent;
};

// Waits without polling intervals of its own, so that each hand-over follows
// the last result at once; what: what the thread was to be, for the failure.
testing::AssertionResult SpinUntil(const char *what, const std::function<bool()> &done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(HangGuardMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return testing::AssertionFailure()
                   << "the thread was still not " << what << " after " << HangGuardMs / 1000 << " s";
        std::this_thread::yield();
    }
    return testing::AssertionSuccess();
}

} // namespace

// Hand-overs in quick succession, each as soon as the last is done: every one
// wakes the sleeping thread (none is lost) and goes out in order on the same
// session; a stop request wakes it too.
TEST_F(SMTPTest, EveryHandOverAndTheStopWakeTheThread)
{
    QStringList sent;
    TSMTPThread t;
    t.Setup(s);
    t.SetSessionFactory([&](const SmtpOptions &) { return std::make_unique<MemorySession>(sent); });
    t.Start();
    constexpr int Count = 500;
    QList<TEmailMessage> messages(Count, em);
    for (int i = 0; i < Count; ++i) {
        messages[i].To = {u"r%1@example.org"_s.arg(i), {}};
        ASSERT_TRUE(SpinUntil("ready for the e-mail", [&] { return Idle(t); })) << i;
        t.Hand(messages[i]);
        ASSERT_TRUE(SpinUntil("done with the e-mail", [&] { return !t.IsBusy(); })) << i;
        ASSERT_EQ(t.State.load(), SmtpThreadState::Sent) << t.ErrorText().toStdString();
    }
    t.RequestStop();
    ASSERT_TRUE(SpinUntil("ended", [&] { return t.Terminated(); }));
    ASSERT_EQ(sent.size(), Count);
    EXPECT_EQ(sent.first(), u"r0@example.org"_s);
    EXPECT_EQ(sent.last(), u"r499@example.org"_s);
}
