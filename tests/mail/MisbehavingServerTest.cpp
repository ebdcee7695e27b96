// The sending thread, driven as the job drives it (three recipients, one
// hand-over at a time), against a scripted server that misbehaves byte by
// byte: no reply makes it loop, grow or wait longer than one time-out, and no
// recipient counts as sent unless the final reply to its data was a 2xx.
#include "SMTP.h"

#include "HangGuard.h"
#include "KeyUpdateSmtpServer.h"
#include "MultipathTcp.h"
#include "ScriptedSmtpServer.h"
#include "TESettings.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Steps = QList<ServerStep>;
using Clock = std::chrono::steady_clock;

constexpr int TimeoutMs = 500; // SMTP_Timeout 1

Steps Reply(const QByteArray &reply)
{
    return {ServerStep::Line(), ServerStep::Send(reply)};
}

// The greeting and EHLO, in TLS as asked: from the first byte, or after STARTTLS.
Steps Greeting(SmtpTls tls = SmtpTls::None)
{
    const Steps hello = Steps{ServerStep::Send("220 scripted\r\n")} + Reply("250-scripted\r\n250 8BITMIME\r\n");
    if (tls == SmtpTls::Implicit)
        return Steps{ServerStep::Tls()} + hello;
    if (tls == SmtpTls::StartTls)
        return hello + Reply("220 go ahead\r\n") + Steps{ServerStep::Tls()} + Reply("250 scripted\r\n");
    return hello;
}

// MAIL, RCPT and DATA accepted; the data is the caller's to read.
Steps UpToTheDataCommand()
{
    return Reply("250 ok\r\n") + Reply("250 ok\r\n") + Reply("354 go on\r\n");
}

// MAIL, RCPT and DATA accepted and the data read; its reply is the caller's.
Steps UpToTheData()
{
    return UpToTheDataCommand() + Steps{ServerStep::Data()};
}

// A text body of about that many bytes, in lines of 78 octets.
QString LargeBody(qsizetype bytes)
{
    return QString(u"%1\r\n"_s.arg(QString(76, u'x'))).repeated(bytes / 78);
}

struct Outcome {
    QList<SmtpThreadState> Rows;     // the result of each recipient, as the job records it
    QStringList RowTexts;            // the error text the thread gave with each result
    QList<Clock::time_point> RowsAt; // when each result came
    SmtpThreadState State = SmtpThreadState::Connecting;
    QString Text;
    // From the last hand-over (or the start) to the fatal state; from the server's
    // last act before the fatal state, when that came after it: what the program controls.
    qint64 FatalAfterMs = -1;
    qint64 LastResultAfterMs = -1; // from the last hand-over to its result
    bool Ended = false;            // the thread's run ended
    bool Hung = false;             // something that only a hang keeps away did not come: Play has said what
    QStringList Commands;
};

struct Client {
    TESettings Settings;
    TEmailMessage Message;
    TSMTPThread Thread;
};

/** The job the thread is given. */
struct Job {
    int TimeoutUnits = 1;
    int Recipients = 3;
    QString Body = u"Body\r\n"_s;
    SmtpTls Tls = SmtpTls::None; // the server's port is no 587: the session is told
};

// Plays the server's part against a sending thread that is handed the
// recipients one by one, as long as it is not in a fatal state. The server
// tells the commands it read and since when it was quiet (QuietSince), once the client closed.
template <typename Server> Outcome Play(Server &server, const Job &job)
{
    auto client = std::make_unique<Client>();
    TESettings &s = client->Settings;
    s.Param(spSmtpServer).SetStr(u"127.0.0.1"_s);
    s.Param(spSmtpPort).SetInt(server.Port());
    s.Param(spSmtpTimeout).SetInt(job.TimeoutUnits);
    s.Param(spYourEmail).SetStr(u"me@example.org"_s);
    s.Param(spMimeEna).SetBool(false);
    client->Message.Body = job.Body;
    TSMTPThread &t = client->Thread;
    t.Setup(s);
    t.SetSessionFactory([tls = job.Tls](SmtpOptions options) {
        options.UseTLS = tls;
        return CreateSmtpSession(options);
    });
    const auto since = [](Clock::time_point start) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    Clock::time_point handedAt = Clock::now();
    t.Start();

    Outcome o;
    const auto fatal = [&] { return IsFatalState(t.State); };
    const auto guard = [&](const char *what, int recipient) {
        ADD_FAILURE() << "Hung: " << what << " recipient " << recipient << " after " << HangGuardMs / 1000 << " s";
        o.Hung = true;
    };
    for (int i = 0; i < job.Recipients; ++i) {
        if (!QTest::qWaitFor([&] { return fatal() || (IsReadyState(t.State) && !t.IsBusy()); }, HangGuardMs))
            guard("the thread was still not ready for", i);
        if (o.Hung || fatal())
            break;
        client->Message.To = {u"r%1@example.org"_s.arg(i), {}};
        handedAt = Clock::now();
        t.Hand(client->Message);
        if (!QTest::qWaitFor([&] { return fatal() || !t.IsBusy(); }, HangGuardMs))
            guard("still no result for", i);
        if (o.Hung || fatal())
            break;
        o.RowsAt.append(Clock::now());
        o.LastResultAfterMs = since(handedAt);
        o.Rows.append(t.State);
        o.RowTexts.append(t.ErrorText());
    }
    std::optional<Clock::time_point> fatalAt;
    if (QTest::qWaitFor(fatal, 1))
        fatalAt = Clock::now();
    t.RequestStop();
    o.Ended = QTest::qWaitFor([&] { return t.Terminated(); }, HangGuardMs);
    o.State = t.State;
    o.Text = t.ErrorText();
    if (!o.Ended) {
        ADD_FAILURE() << "Hung: the thread had not ended " << HangGuardMs / 1000 << " s after it was told to stop";
        o.Hung = true;
        (void)client.release(); // stuck for good: it must not take the test with it
        return o;
    }
    o.Commands = server.Commands();
    if (fatalAt) {
        // From the server's last act before the failure (stamped before it is done, so an act the program
        // answered never counts as later), or from the hand-over when that came after it.
        const Clock::time_point quiet = server.QuietSince(*fatalAt).value_or(handedAt);
        o.FatalAfterMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(*fatalAt - std::max(quiet, handedAt)).count();
    }
    return o;
}

Outcome Play(const Steps &script, const Job &job = {})
{
    ScriptedSmtpServer server(script);
    return Play(server, job);
}

// A case of a server that breaks the dialogue: what the job ends in, and how soon.
struct BrokenCase {
    Steps Script;
    SmtpThreadState State;
    QString Text;
    Job Client = {};
    bool WaitsOneTimeOut = false; // gives up only once the server has done nothing for the time-out
    int EndsWithinTimeOuts = 3;   // from the server's last act, of which the program may not see the last at once
};

// Each ends the job within one time-out, with a text that says how, and no recipient counts as sent on the
// strength of it.
void ExpectEachEndsTheJob(const QList<BrokenCase> &cases)
{
    for (const BrokenCase &c : cases) {
        SCOPED_TRACE(c.Text.toStdString() + " over " + std::to_string(int(c.Client.Tls)));
        const Outcome o = Play(c.Script, c.Client);
        ASSERT_TRUE(o.Ended);
        if (o.Hung)
            continue; // Play has said what never came: there is no time to judge
        EXPECT_TRUE(o.Rows.isEmpty());
        EXPECT_EQ(o.State, c.State);
        EXPECT_TRUE(o.Text.contains(c.Text)) << o.Text.toStdString();
        EXPECT_GE(o.FatalAfterMs, c.WaitsOneTimeOut ? TimeoutMs : 0);
        EXPECT_LT(o.FatalAfterMs, c.EndsWithinTimeOuts * TimeoutMs);
    }
}

// How much of that many bytes a client socket on loopback takes from a writer that waits for it no longer than
// one time-out at a time, while its server, with the scripted server's receive buffer, reads none of them.
qsizetype TakenUnread(qsizetype bytes)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    int buffer = 65536;
    ::setsockopt(listener, SOL_SOCKET, ::geteuid() == 0 ? SO_RCVBUFFORCE : SO_RCVBUF, &buffer, sizeof buffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    qsizetype taken = 0;
    if (::bind(listener, reinterpret_cast<sockaddr *>(&address), size) == 0 && ::listen(listener, 1) == 0
        && ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size) == 0
        && ::connect(client, reinterpret_cast<const sockaddr *>(&address), size) == 0) {
        const std::string chunk(64 << 10, 'x');
        pollfd target{client, POLLOUT, 0};
        while (taken<bytes && ::poll(&target, 1, TimeoutMs)> 0) {
            const ssize_t sent = ::send(client, chunk.data(), std::min<size_t>(chunk.size(), bytes - taken),
                                        MSG_DONTWAIT | MSG_NOSIGNAL);
            if (sent <= 0)
                break;
            taken += sent;
        }
    }
    ::close(client);
    ::close(listener);
    return taken;
}

const auto ConnectFails = SmtpThreadState::ConnectionError;
const auto SendFails = SmtpThreadState::UnexpectedError;
const QString Closed = u"Connection closed by the server."_s;

} // namespace

// A server that breaks the dialogue ends the job within one time-out: a close
// inside a multi-line reply; replies that never end, are too long or come
// drop by drop; bytes no command asked for, taken by the old reader for the
// next reply; replies without a code; an RSET that fails.
TEST(MisbehavingServerTest, ABrokenDialogueEndsTheJobWithinOneTimeOut)
{
    const Steps greeted = {ServerStep::Send("220 scripted\r\n"), ServerStep::Line()};
    ExpectEachEndsTheJob({
        {Greeting() + Reply("250 ok\r\n") + Reply("250-ok\r\n") + Steps{ServerStep::Close()}, SendFails,
         u"Connection closed by the server."_s},
        {Greeting() + UpToTheData() + Steps{ServerStep::Send("250-queued\r\n"), ServerStep::Close()}, SendFails,
         u"Connection closed by the server."_s},
        {greeted + Steps{ServerStep::Repeat("250-x\r\n", 0)}, ConnectFails, u"longer than SMTP allows"_s},
        {Steps{ServerStep::Send("220 scripted\r\n")} + Reply("250 " + QByteArray(600, 'x') + "\r\n"), ConnectFails,
         u"longer than SMTP allows"_s},
        {greeted + Steps{ServerStep::Repeat("250-x\r\n", 0.1)}, ConnectFails, u"Timeout"_s},
        {{ServerStep::Drip("220 a greeting, slowly\r\n", 0.1)}, ConnectFails, u"Timeout"_s},
        // "250 fake queued" came with the 354: the server's real answer to the data is the 554.
        {Greeting() + Reply("250 ok\r\n") + Reply("250 ok\r\n") + Reply("354 go\r\n250 fake queued\r\n")
             + Steps{ServerStep::Data(), ServerStep::Send("554 5.7.1 rejected\r\n")} + Reply("250 ok\r\n")
             + Reply("250 ok\r\n"),
         SendFails, u"out of turn: \"250 fake queued\""_s},
        {Greeting() + Reply("250 ok\r\n250 ok, too\r\n") + Reply("250 ok\r\n"), SendFails,
         u"out of turn: \"250 ok, too\""_s},
        {Greeting() + Reply("250 ok\r250 ok\r") + UpToTheData() + Steps{ServerStep::Send("250 queued\r\n")}, SendFails,
         u"malformed reply: \"250 ok\\r250 ok\\r\""_s},
        {Steps{ServerStep::Send("220 scripted\r\n220 scripted again\r\n")} + Reply("250 ok\r\n") + Reply("250 ok\r\n"),
         ConnectFails, u"out of turn: \"220 scripted again\""_s},
        {Greeting() + UpToTheData() + Steps{ServerStep::Send("queued\r\n")}, SendFails,
         u"The server sent a malformed reply: \"queued\""_s},
        {Greeting() + UpToTheData() + Steps{ServerStep::Send("25 ok\r\n")}, SendFails,
         u"The server sent a malformed reply: \"25 ok\""_s},
        {Greeting() + UpToTheData() + Steps{ServerStep::Send("000 huh\x01\r\n")}, SendFails,
         u"The server sent a malformed reply: \"000 huh\\x01\""_s},
        // A refused recipient whose RSET then fails: the server did not end the session, the RSET failed.
        {Greeting() + Reply("250 ok\r\n") + Reply("550 5.1.1 no such user\r\n"), SendFails,
         u"After the server's reply \"550 5.1.1 no such user\", RSET failed: Timeout: no reply"_s},
        {Greeting() + Reply("250 ok\r\n") + Reply("550 5.1.1 no such user\r\n") + Reply("hello\r\n"), SendFails,
         u"RSET failed: The server sent a malformed reply: \"hello\""_s},
    });
}

// A TLS handshake, from the first byte or after STARTTLS, that a server drips or never answers ends the job
// within one time-out; a TLS connection the server closes ends as a plain one: in a reply, after STARTTLS,
// before the client's hello comes (which then meets a closed socket), once the hello lies unread in the
// server's socket (whose close then resets the connection), or once the server has read it.
TEST(MisbehavingServerTest, ABrokenTlsHandshakeEndsTheJobWithinOneTimeOut)
{
    // The header of a server hello, then its body drop by drop.
    const QByteArray serverHello = QByteArray("\x16\x03\x03\x00\x40\x02\x00\x00\x3c", 9) + QByteArray(0x3c, '\x03');
    const Steps startTls = Greeting() + Reply("220 go ahead\r\n");
    // "220 go ahead" and the server's close in one segment: the client cannot send its hello before the close.
    const Steps startTlsThenClose = Greeting() + Steps{ServerStep::Line(), ServerStep::Fin("220 go ahead\r\n")};
    const QString noHandshake = u"Timeout: the TLS handshake did not complete within 0.5 seconds."_s;
    const Steps hangsUp = {ServerStep::Await(), ServerStep::Close()};
    ExpectEachEndsTheJob({
        {{ServerStep::Recv(), ServerStep::Drip(serverHello, 0.1)},
         ConnectFails,
         noHandshake,
         {.Tls = SmtpTls::Implicit}},
        {{ServerStep::Recv()}, ConnectFails, noHandshake, {.Tls = SmtpTls::Implicit}},
        {startTls + Steps{ServerStep::Recv(), ServerStep::Drip(serverHello, 0.1)},
         ConnectFails,
         noHandshake,
         {.Tls = SmtpTls::StartTls}},
        {startTls + Steps{ServerStep::Recv()}, ConnectFails, noHandshake, {.Tls = SmtpTls::StartTls}},
        {Greeting(SmtpTls::Implicit) + Reply("250 ok\r\n") + Reply("250-ok\r\n") + Steps{ServerStep::Close()},
         SendFails,
         Closed,
         {.Tls = SmtpTls::Implicit}},
        {startTlsThenClose + hangsUp, ConnectFails, Closed, {.Tls = SmtpTls::StartTls}},
        {Steps{ServerStep::Fin({})} + hangsUp, ConnectFails, Closed, {.Tls = SmtpTls::Implicit}},
        {startTls + hangsUp, ConnectFails, Closed, {.Tls = SmtpTls::StartTls}},
        {hangsUp, ConnectFails, Closed, {.Tls = SmtpTls::Implicit}},
        {startTls + Steps{ServerStep::Recv(), ServerStep::Close()}, ConnectFails, Closed, {.Tls = SmtpTls::StartTls}},
    });
}

/** The cases that run over every transport, one test each, named after it. */
class MisbehavingServerOverTest : public testing::TestWithParam<SmtpTls> {};

// A server that stops taking the data before any reply ends the job one time-out after it last took some, not
// two, over every transport, whether the rest still waits to go into the socket or in its queue.
TEST_P(MisbehavingServerOverTest, AServerThatStopsTakingTheDataEndsTheJobAfterOneTimeOut)
{
    const SmtpTls tls = GetParam();
    const Steps stopsTaking = {ServerStep::Take(1 << 20), ServerStep::Stall(1.5)};
    QList<BrokenCase> cases;
    // Larger than the socket takes in: the rest waits to go into it. Smaller: all of it waits in its queue.
    for (const qsizetype bytes : {6 << 20, 2 << 20})
        cases.append({Greeting(tls) + UpToTheDataCommand() + stopsTaking,
                      SendFails,
                      u"Timeout: the server took no data within 0.5 seconds."_s,
                      {.Body = LargeBody(bytes), .Tls = tls},
                      true,
                      2});
    ExpectEachEndsTheJob(cases);
}

// A reply that no message data can have, a 3xx, is out of turn over every transport wherever it comes: with the
// 354, while the data is written or after it; so is a 2xx that came with the 354. Nothing is recorded for that
// message and the job ends, however the server would go on; at once, with nothing more of the data written, for a
// server that then reads none of it.
TEST_P(MisbehavingServerOverTest, AReplyThatAnswersNoDataIsOutOfTurnWhereverItComes)
{
    const SmtpTls tls = GetParam();
    const Steps accepted = Greeting(tls) + Reply("250 ok\r\n") + Reply("250 ok\r\n"); // MAIL and RCPT
    // What a session that went on would find: RSET, then the next message sent.
    const Steps goesOn = Reply("250 reset\r\n") + UpToTheData() + Steps{ServerStep::Send("250 queued\r\n")};
    const Steps readsNone = {ServerStep::Stall(1.5)};
    const QString again = u"The server sent data out of turn: \"354 again\""_s;
    const Job client = {.Body = LargeBody(6 << 20), .Tls = tls}; // more than the socket takes in
    const Steps duringTheData =
        Greeting(tls) + UpToTheDataCommand() + Steps{ServerStep::Take(1 << 10), ServerStep::Send("354 again\r\n")};
    ExpectEachEndsTheJob({
        {accepted + Reply("354 go\r\n354 again\r\n") + readsNone, SendFails, again, client, false, 1},
        {accepted + Reply("354 go\r\n250 fake queued\r\n") + readsNone, SendFails,
         u"The server sent data out of turn: \"250 fake queued\""_s, client, false, 1},
        {duringTheData + readsNone, SendFails, again, client, false, 1},
        {duringTheData + Steps{ServerStep::Data()} + goesOn, SendFails, again, client},
        {Greeting(tls) + UpToTheData() + Steps{ServerStep::Send("354 again\r\n")} + goesOn, SendFails, again, client},
    });
}

// A reply that comes while the data is still being written is judged when it comes, over every transport:
// - a 2xx after 500 kB of the data: whether the server then stops reading, or reads on and refuses the message
//   at its real end, nothing was delivered;
// - a 2xx after the first kilobyte is out of turn however fast the server reads the rest, even with buffers so
//   large that the kernel has acknowledged all of the data by the time the write is over (often enough to be
//   seen racing);
// - a 2xx begun then and ended after the data, dripped or as a multi-line reply whose last line comes after it,
//   is out of turn all the same: no reply to the data begins before the data ends;
// - a refusal after which the server stops reading or hangs up ends the session with the refusal's words.
// A server that hangs up without a word reads the same over every transport.
TEST_P(MisbehavingServerOverTest, AReplyDuringTheDataIsJudgedWhenItComes)
{
    const SmtpTls tls = GetParam();
    const QString smallBody = LargeBody(2 << 20);
    const QString largeBody = LargeBody(4 << 20);
    const QString body = LargeBody(6 << 20); // more than the socket takes in while the server reads nothing
    const QString hugeBody = LargeBody(16 << 20);
    const Steps earlyQueued = {ServerStep::Take(500 << 10), ServerStep::Send("250 2.0.0 queued\r\n")};
    const Steps refuses = {ServerStep::SlowData(64 << 10, 0.01), ServerStep::Send("554 5.7.1 rejected\r\n")};
    const Steps earlyRefusal = {ServerStep::Take(1 << 10), ServerStep::Send("554 5.7.1 rejected early\r\n")};
    const QString endedAfterRefusal = u"The server ended the session after its reply: 554 5.7.1 rejected early"_s;
    const QString tookNoMore =
        u"Timeout: the server took no more of the message within 0.5 seconds after its reply: 554 5.7.1 rejected early"_s;
    const QString outOfTurn = u"out of turn, before it had all of the message data: "_s;
    QList<BrokenCase> cases;
    for (const Steps &then : {Steps{ServerStep::Stall(1.5)}, refuses})
        cases.append({Greeting(tls) + UpToTheDataCommand() + earlyQueued + then,
                      SendFails,
                      outOfTurn + u"250 2.0.0 queued"_s,
                      {.Body = smallBody, .Tls = tls}});
    for (int run = 0; run < 10; ++run)
        cases.append(
            {Steps{ServerStep::Buffer(4 << 20)} + Greeting(tls) + UpToTheDataCommand()
                 + Steps{ServerStep::Take(1 << 10), ServerStep::Send("250 2.0.0 early\r\n"), ServerStep::Data()},
             SendFails,
             outOfTurn + u"250 2.0.0 early"_s,
             {.Body = hugeBody, .Tls = tls}});
    const QList<std::pair<Steps, QString>> straddling = {
        {{ServerStep::Drip("25", 0.02), ServerStep::Data(), ServerStep::Drip("0 2.0", 0.02),
          ServerStep::Send(".0 dripped\r\n")},
         u"250 2.0.0 dripped"_s},
        {{ServerStep::Send("250-2.0.0 early\r\n"), ServerStep::Data(), ServerStep::Send("250 2.0.0 late\r\n")},
         u"250-2.0.0 early 250 2.0.0 late"_s},
    };
    for (const auto &[reply, text] : straddling)
        cases.append({Greeting(tls) + UpToTheDataCommand() + Steps{ServerStep::Take(1 << 10)} + reply,
                      SendFails,
                      outOfTurn + text,
                      {.Body = body, .Tls = tls}});
    // Reading on a little before it stalls, the server lets the client send on: its last progress comes then.
    for (const Steps &then : {Steps{ServerStep::Take(256 << 10), ServerStep::Stall(1.5)}, Steps{ServerStep::Close()}}) {
        const bool stalls = then.last().Action == u"stall"_s;
        cases.append({Greeting(tls) + UpToTheDataCommand() + earlyRefusal + then,
                      SendFails,
                      stalls ? tookNoMore : endedAfterRefusal,
                      {.Body = largeBody, .Tls = tls},
                      stalls});
    }
    cases.append({Greeting(tls) + UpToTheDataCommand() + Steps{ServerStep::Take(1 << 20), ServerStep::Close()},
                  SendFails,
                  Closed,
                  {.Body = largeBody, .Tls = tls}});
    ExpectEachEndsTheJob(cases);
}

// A reply to data that the client has all written, while much of it still waits in the client's socket because the
// server reads none of it, is judged by what the server had taken when the reply's first bytes came:
// - a 2xx begun then and ended after the server has read all of the data is out of turn (the server reads it in
//   steps, so that the client reads the first bytes before the server has read it all);
// - after a refusal the client waits for the rest to be taken: a server that then takes none of it for the
//   time-out ends the job one time-out later, with its refusal named; anything it says meanwhile is out of turn,
//   and a 421 refuses the session.
TEST_P(MisbehavingServerOverTest, AReplyBeforeTheServerHasTheDataIsJudgedWhenItComes)
{
    const SmtpTls tls = GetParam();
    // The client's socket takes all of it at once, and the 354 is answered only once the client has written it all.
    constexpr qsizetype bodyBytes = 1 << 20;
    // The premise: otherwise the replies come while the data is written, where another test judges them. With room
    // for the headers and TLS's framing.
    ASSERT_GE(TakenUnread(bodyBytes * 9 / 8), bodyBytes * 9 / 8)
        << "This kernel's loopback socket does not take the whole message at once: nothing here would be tested";
    const Job client = {.Body = LargeBody(bodyBytes), .Tls = tls};
    const Steps written = Greeting(tls) + UpToTheDataCommand() + Steps{ServerStep::Stall(0.3)};
    const Steps refused = written + Steps{ServerStep::Send("554 5.7.1 rejected early\r\n")};
    const Steps stalls = {ServerStep::Stall(1.5)};
    ExpectEachEndsTheJob({
        {written
             + Steps{ServerStep::Send("25"), ServerStep::SlowData(64 << 10, 0.05), ServerStep::Send("0 2.0.0 ok\r\n")},
         SendFails, u"out of turn, before it had all of the message data: 250 2.0.0 ok"_s, client},
        {refused + stalls, SendFails,
         u"Timeout: the server took no more of the message within 0.5 seconds after its reply: 554 5.7.1 rejected early"_s,
         client, true},
        {refused + Steps{ServerStep::Stall(0.1), ServerStep::Send("250 stray\r\n")} + stalls, SendFails,
         u"The server sent data out of turn: \"250 stray\""_s, client},
        {refused + Steps{ServerStep::Stall(0.1), ServerStep::Send("421 4.3.2 bye\r\n")} + stalls, SendFails,
         u"The server refuses mail on this connection: 421 4.3.2 bye"_s, client},
    });
}

// A refusal while the data is still being written, or with the 354 before any of it (as if it came a byte later),
// whole or only begun, after which the server reads the rest, at once or far more slowly than one time-out allows,
// before it answers RSET: that message is refused with the server's words once the server has read all of it, the
// session goes on, and the next message goes out.
TEST_P(MisbehavingServerOverTest, AnEarlyRefusalWaitsUntilTheServerHasReadTheRest)
{
    const SmtpTls tls = GetParam();
    const Steps whileWritten =
        UpToTheDataCommand() + Steps{ServerStep::Take(1 << 10), ServerStep::Send("554 5.7.1 rejected early\r\n")};
    const Steps withThe354 =
        Reply("250 ok\r\n") + Reply("250 ok\r\n") + Reply("354 go\r\n554 5.7.1 rejected early\r\n");
    // Its first bytes with the 354, the rest once some of the data has come.
    const Steps begunWithThe354 = Reply("250 ok\r\n") + Reply("250 ok\r\n") + Reply("354 go\r\n55")
                                  + Steps{ServerStep::Take(1 << 10), ServerStep::Send("4 5.7.1 rejected early\r\n")};
    const ServerStep slowly = ServerStep::SlowData(64 << 10, 0.05);
    struct Case {
        const char *Name;
        Steps Refused;
        ServerStep Reader;
    };
    for (const Case &c : QList<Case>{{"read at once", whileWritten, ServerStep::Data()},
                                     {"read slowly", whileWritten, slowly},
                                     {"refused with the 354", withThe354, ServerStep::Data()},
                                     {"begun with the 354", begunWithThe354, ServerStep::Data()}}) {
        SCOPED_TRACE(c.Name);
        const ServerStep &reader = c.Reader;
        ScriptedSmtpServer server(Greeting(tls) + c.Refused + Steps{ServerStep::Mark(), reader, ServerStep::Mark()}
                                  + Reply("250 reset\r\n") + UpToTheData() + Steps{ServerStep::Send("250 queued\r\n")});
        const Outcome o = Play(server, {.Recipients = 2, .Body = LargeBody(4 << 20), .Tls = tls});
        // RSET before the server has taken the rest would wait behind it, past the time-out.
        EXPECT_FALSE(o.Text.contains(u"RSET failed"_s)) << o.Text.toStdString();
        ASSERT_EQ(o.Rows, (QList{SmtpThreadState::SendFailed, SmtpThreadState::Sent})) << o.Text.toStdString();
        EXPECT_EQ(o.RowTexts[0], u"The server rejected the message: 554 5.7.1 rejected early"_s);
        EXPECT_EQ(o.Commands.count(u"RSET"_s), 1);
        const QList<Clock::time_point> marks = server.Marks();
        ASSERT_EQ(marks.size(), 2);
        const auto ms = [](Clock::duration d) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
        };
        if (reader.Action == u"slowdata"_s) {
            EXPECT_GE(ms(marks[1] - marks[0]), 3 * TimeoutMs); // the premise: the rest took several time-outs
        }
        // Refused no later than one time-out after the server had read all of it.
        EXPECT_LT(ms(o.RowsAt[0] - marks[1]), TimeoutMs);
    }
}

namespace {

std::string TransportName(const testing::TestParamInfo<SmtpTls> &info)
{
    switch (info.param) {
    case SmtpTls::None:
        return "Plain";
    case SmtpTls::StartTls:
        return "StartTls";
    case SmtpTls::Implicit:
        return "ImplicitTls";
    }
    return "Unknown";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Transports, MisbehavingServerOverTest,
                         testing::Values(SmtpTls::None, SmtpTls::StartTls, SmtpTls::Implicit), TransportName);

// No reply to the end of the data: the job hears of it after one time-out,
// and QUIT, if sent at all, is not sent again. Also when the server asks for
// TLS key updates meanwhile: each makes the program write a record of its
// own, which the server acknowledges, but that is no sign of it taking data.
TEST(MisbehavingServerTest, AStalledServerCostsOneTimeOut)
{
    const auto expectOneTimeOut = [](const Outcome &o) {
        ASSERT_TRUE(o.Ended);
        EXPECT_TRUE(o.Rows.isEmpty());
        EXPECT_EQ(o.State, SmtpThreadState::UnexpectedError);
        EXPECT_TRUE(o.Text.contains(u"Timeout: no reply from the server within 1 second."_s)) << o.Text.toStdString();
        EXPECT_GE(o.FatalAfterMs, 2 * TimeoutMs);
        EXPECT_LT(o.FatalAfterMs, 4 * TimeoutMs);
        EXPECT_LE(o.Commands.count(u"QUIT"_s), 1) << o.Commands.join(u' ').toStdString();
    };
    expectOneTimeOut(Play(Greeting() + UpToTheData(), {.TimeoutUnits = 2}));

    KeyUpdateSmtpServer updating(std::chrono::milliseconds(250), std::chrono::seconds(8));
    expectOneTimeOut(Play(updating, {.TimeoutUnits = 2, .Body = LargeBody(100 << 10), .Tls = SmtpTls::Implicit}));
    EXPECT_GE(updating.Updates(), 4); // the premise: the server asked for updates all the while
}

// What the server means by well-formed replies still counts: multi-line
// replies, a refused recipient (RSET, the next one goes on), 421 ending the
// job, also when it comes unasked.
TEST(MisbehavingServerTest, WellFormedRepliesKeepTheirMeaning)
{
    const Outcome o =
        Play(Greeting() + UpToTheData() + Steps{ServerStep::Send("250-queued\r\n250 as 12\r\n")} + Reply("250 ok\r\n")
             + Reply("550 5.1.1 no such user\r\n") + Reply("250 reset\r\n") + Reply("421 4.3.2 bye\r\n"));
    ASSERT_TRUE(o.Ended);
    EXPECT_EQ(o.Rows, (QList{SmtpThreadState::Sent, SmtpThreadState::SendFailed}));
    EXPECT_EQ(o.State, SmtpThreadState::UnexpectedError);
    EXPECT_TRUE(o.Text.endsWith(u"421 4.3.2 bye"_s)) << o.Text.toStdString();
    EXPECT_EQ(o.Commands.count(u"RSET"_s), 1);

    // The one reply a server may send unasked: 421 before it closes.
    const Outcome closing =
        Play(Greeting() + UpToTheData() + Steps{ServerStep::Send("250 queued\r\n421 4.4.2 idle too long\r\n")});
    EXPECT_EQ(closing.Rows, QList{SmtpThreadState::Sent});
    EXPECT_TRUE(closing.Text.endsWith(u"The server refuses mail on this connection: 421 4.4.2 idle too long"_s))
        << closing.Text.toStdString();
}

// A large message to a server that takes it slowly goes out over every
// transport, however much longer than the time-out the whole of it takes:
// the time-out bounds each wait for the server to take more, over TLS too,
// and the reply to the data is awaited from when the server has taken all of
// it, not from when the last of it went into the socket's queue. Also when
// the server is steady but slow, and the message more than the socket's
// buffers hold: the socket then reports itself writable only once the server
// has freed more room in it than it takes within the time-out.
TEST(MisbehavingServerTest, ALargeMessageGoesOutToASlowServerOverEveryTransport)
{
    struct Reader {
        qsizetype Message;
        qint64 Bytes; // read at a time, the seconds apart
        double Seconds;
    };
    for (const Reader &reader : {Reader{6 << 20, 64 << 10, 0.01}, Reader{5 << 20, 16 << 10, 0.01}}) {
        const QString body = LargeBody(reader.Message);
        for (const SmtpTls tls : {SmtpTls::None, SmtpTls::StartTls, SmtpTls::Implicit}) {
            SCOPED_TRACE(std::to_string(reader.Bytes) + " bytes over " + std::to_string(int(tls)));
            const Outcome o = Play(
                Greeting(tls) + UpToTheDataCommand()
                    + Steps{ServerStep::SlowData(reader.Bytes, reader.Seconds), ServerStep::Send("250 queued\r\n")},
                {.Recipients = 1, .Body = body, .Tls = tls});
            EXPECT_EQ(o.Rows, QList{SmtpThreadState::Sent}) << o.Text.toStdString();
            EXPECT_GT(o.LastResultAfterMs, 2 * TimeoutMs); // the premise: far longer than the time-out
        }
    }
}

// On multipath TCP the kernel's count of acknowledged bytes covers the first
// path only: with two paths every message the server accepts is recorded
// sent, none taken for a reply out of turn. Once over, the process is as it
// was: the tests after this one in the same process run as they would alone.
TEST(MisbehavingServerTest, EveryAcceptedMessageIsSentOverMultipathTcp)
{
    const auto networkNamespace = [] { return std::filesystem::read_symlink("/proc/thread-self/ns/net"); };
    const std::filesystem::path home = networkNamespace();
    {
        const MultipathTcp multipath;
        if (!multipath.WhyNot().isEmpty())
            GTEST_SKIP() << "No multipath TCP with two paths here: " << multipath.WhyNot().toStdString();
        Steps script = Steps{ServerStep::Multipath(), ServerStep::Buffer(1 << 20)} + Greeting();
        // Read in steps, so that much of each message still waits to go out when the last of it is written.
        for (int i = 0; i < 3; ++i)
            script += UpToTheDataCommand()
                      + Steps{ServerStep::SlowData(256 << 10, 0.005), ServerStep::Send("250 2.0.0 queued\r\n")};
        ScriptedSmtpServer server(script + Reply("221 bye\r\n"));
        // A time-out no stall of multipath TCP's own comes near: what is tested is the judgement of the replies.
        const Outcome o = Play(server, {.TimeoutUnits = 10, .Body = LargeBody(4 << 20)});
        EXPECT_EQ(o.Rows, QList<SmtpThreadState>(3, SmtpThreadState::Sent)) << o.Text.toStdString();
        EXPECT_GE(server.Subflows(), 1); // the premise: the data went over a second path too
    }
    EXPECT_EQ(networkNamespace(), home);
    const int tcp = ::socket(AF_INET, SOCK_STREAM, 0);
    int protocol = 0;
    socklen_t size = sizeof protocol;
    ASSERT_EQ(::getsockopt(tcp, SOL_SOCKET, SO_PROTOCOL, &protocol, &size), 0);
    ::close(tcp);
    EXPECT_EQ(protocol, IPPROTO_TCP);
}
