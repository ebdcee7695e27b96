// Sending 2000 messages of 5 kB over one loopback connection: through the
// sending thread as the job drives it (hand a message over, wait until the
// thread is no longer busy), and the session alone. Reported as msg/s.
//
// The peer is an SmtpSink in this process, or, when VC_SMTP_SINK_PORT names
// a port, the smtp_sink program listening there, so that smtplib_send.py
// can be measured against the very same peer. Side by side, whole processes
// (the sink serves until its standard input ends, so keep that open):
//   mkfifo in; sleep infinity > in &
//   smtp_sink < in &   (prints PORT)
//   VC_SMTP_SINK_PORT=PORT smtp_send_bench --benchmark_filter=BM_ThreadSend --benchmark_min_time=0.001
//   bench/smtplib_send.py PORT
#include "BenchMain.h"
#include "SMTP.h"
#include "SmtpSetup.h"
#include "SmtpSink.h"
#include "TESettings.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr int Messages = 2000;

// About 5 kB of HTML, the same as smtplib_send.py sends.
QStringList Newsletter()
{
    QStringList lines{
        u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"_s,
        u"<title>Spring offers</title></head>"_s,
        u"<body>"_s,
        u"<p>Dear customer,</p>"_s,
    };
    for (int i = 0; i < 36; ++i)
        lines.append(u"<p>Paragraph %1 of this season's news: our shops have new goods in every department, "
                     "and the prices stay as friendly as ever. Come and see.</p>"_s.arg(i + 1));
    lines.append(u"</body></html>"_s);
    return lines;
}

quint16 SinkPort()
{
    static std::unique_ptr<SmtpSink> own;
    const int outside = qEnvironmentVariableIntValue("VC_SMTP_SINK_PORT");
    if (outside > 0)
        return static_cast<quint16>(outside);
    if (!own)
        own = std::make_unique<SmtpSink>();
    return own->Port();
}

/** The settings and the hand-over message of a job that sends the newsletter to the sink. */
struct Job {
    Job()
    {
        settings.Param(spSmtpServer).SetStr(u"127.0.0.1"_s);
        settings.Param(spSmtpPort).SetInt(SinkPort());
        settings.Param(spSmtpTimeout).SetInt(20);
        settings.Param(spYourEmail).SetStr(u"sender@example.com"_s);
        settings.Param(spYourName).SetStr(u"Sender"_s);
        settings.Param(spMimeEna).SetBool(true);
        settings.Param(spCharSet).SetStr(u"utf-8"_s);
        settings.MessageText = Newsletter();
        settings.AnalyseMessage();
        em.Subject = u"Spring offers"_s;
        em.Body = settings.MessageBody();
        em.MimeEna = true;
        em.CharSet = u"utf-8"_s;
        for (int i = 0; i < Messages; ++i)
            recipients.append(u"customer%1@example.com"_s.arg(i));
    }
    /** The message as the thread composes it for recipient i. */
    QByteArray Composed(int i)
    {
        em.To = {recipients[i], u"Customer"_s};
        TMEMessage msg;
        msg.AssignMimeOptions(em);
        BuildMessage(msg, em, settings);
        AddSendOptions(msg, settings);
        return msg.Compose();
    }

    TESettings settings;
    TEmailMessage em;
    QStringList recipients;
};

void Report(benchmark::State &state, qsizetype bytes)
{
    state.counters["msg/s"] = benchmark::Counter(double(state.iterations()) * Messages, benchmark::Counter::kIsRate);
    state.counters["message_bytes"] = double(bytes);
}

// What the job gets: the thread composes each e-mail and sends it.
void BM_ThreadSend(benchmark::State &state)
{
    Job job;
    const qsizetype bytes = job.Composed(0).size();
    for (auto _ : state) {
        TSMTPThread thread;
        thread.Setup(job.settings);
        thread.Start();
        while (thread.State == SmtpThreadState::Connecting)
            std::this_thread::yield();
        for (int i = 0; i < Messages; ++i) {
            job.em.To = {job.recipients[i], u"Customer"_s};
            thread.Hand(job.em);
            while (thread.IsBusy())
                std::this_thread::yield();
            if (thread.State != SmtpThreadState::Sent) {
                state.SkipWithError(thread.ErrorText().toStdString().c_str());
                return;
            }
        }
        thread.RequestStop();
    }
    Report(state, bytes);
}
BENCHMARK(BM_ThreadSend)->Unit(benchmark::kMillisecond)->UseRealTime();

// The thread's own work without its hand-over: compose each e-mail, send it.
void BM_ComposeAndSend(benchmark::State &state)
{
    Job job;
    const qsizetype bytes = job.Composed(0).size();
    for (auto _ : state) {
        const auto session = CreateSmtpSession(ConfigureSmtp(job.settings));
        session->Connect();
        for (int i = 0; i < Messages; ++i)
            session->Send(u"sender@example.com"_s, {job.recipients[i]}, job.Composed(i));
        session->Disconnect();
    }
    Report(state, bytes);
}
BENCHMARK(BM_ComposeAndSend)->Unit(benchmark::kMillisecond)->UseRealTime();

// The session alone, with a message composed beforehand, as smtplib_send.py
// sends bytes it was given.
void BM_SessionSend(benchmark::State &state)
{
    Job job;
    const QByteArray data = job.Composed(0);
    for (auto _ : state) {
        const auto session = CreateSmtpSession(ConfigureSmtp(job.settings));
        session->Connect();
        for (int i = 0; i < Messages; ++i)
            session->Send(u"sender@example.com"_s, {job.recipients[i]}, data);
        session->Disconnect();
    }
    Report(state, data.size());
}
BENCHMARK(BM_SessionSend)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks<QCoreApplication>(argc, argv);
}
