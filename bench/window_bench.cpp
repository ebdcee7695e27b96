// The main window's own work for every e-mail of a job, on the user-interface
// thread: the next recipient selected and shown personalised in the message
// view, the e-mail taken from the view, the result recorded in the list, the
// status value, the status line and counters, and the repaint that follows.
// The SMTP traffic runs on its worker thread and is not part of it, nor is
// the journal line (its disk wait is measured in maillist_bench).
#include "BenchMain.h"
#include "FakePowerInhibitor.h"
#include "JobListFile.h"
#include "Main.h"
#include "MsgDlgs.h"
#include "PnAdList.h"
#include "PnEmail.h"
#include "StartupEnv.h"
#include "TESettings.h"
#include "TJobTimer.h"
#include "TRecipientModel.h"
#include "TextCodec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 20000;
constexpr qsizetype MessageSize = 5000;

/** @short Which letter the job sends. */
struct Letter {
    bool Html = false;
    bool ManyPlaceholders = false;
    auto operator<=>(const Letter &) const = default;
};

// About 5 kB of a letter, one paragraph per line: the greeting carries the
// name; the town of the recipient appears in one paragraph further down, or
// in every fourth.
QString LetterText(const Letter &letter)
{
    const QString open = letter.Html ? u"<p>"_s : QString();
    const QString close = letter.Html ? u"</p>"_s : QString();
    QString text = letter.Html ? u"<html><head><title>Spring offers</title></head>\r\n<body>\r\n"_s : QString();
    text += open + u"Dear %1,"_s + close + u"\r\n\r\n"_s;
    for (int i = 1; text.size() < MessageSize; ++i) {
        const bool town = letter.ManyPlaceholders ? i % 4 == 0 : i == 12;
        text += open
                + u"Paragraph %1 of this season's news from our shops in %2: new goods in every department, "
                  "and the prices stay as friendly as ever. Come and see us soon."_s.arg(i)
                      .arg(town ? u"%2"_s : u"the region"_s)
                + close + u"\r\n\r\n"_s;
    }
    text += open + u"Kind regards, the shop"_s + close + u"\r\n"_s;
    return letter.Html ? text + u"</body></html>\r\n"_s : text;
}

QString Name(int i)
{
    static const QStringList first{u"Anna"_s, u"Bob"_s, u"Christina"_s, u"Dan"_s, u"Eleonora"_s, u"Frank"_s};
    static const QStringList last{u"Smith"_s, u"Okonkwo"_s, u"Lee"_s, u"Fitzgerald-Hughes"_s, u"Ng"_s};
    return first[i % first.size()] + u' ' + last[i % last.size()];
}

QString Town(int i)
{
    static const QStringList towns{u"Oslo"_s, u"Rio de Janeiro"_s, u"Ely"_s, u"San Francisco"_s, u"Graz"_s};
    return towns[i % towns.size()];
}

/** @short The main window over a temporary data folder with a job list of 20000 recipients. */
class Window {
public:
    explicit Window(const QString &message)
    {
        qputenv("XDG_DATA_HOME", m_dir.filePath(u"data"_s).toUtf8());
        qputenv("HOME", m_dir.path().toUtf8());
        InitStartup();
        SetMessageBoxHook([](MsgDlgType, const QString &) { return true; });

        TESettings settings;
        settings.Param(spSmtpServer).SetStr(u"127.0.0.1"_s);
        settings.Param(spYourEmail).SetStr(u"sender@example.com"_s);
        settings.Param(spYourName).SetStr(u"Sender"_s);
        settings.Param(spSubject).SetStr(u"Spring offers for %1"_s);
        settings.Param(spNameParEna).SetBool(true);
        settings.Param(spNameParInd).SetInt(1);
        WriteTextFileAtomic(TESettings::MessageCopyFileName(), message);
        settings.ReadWriteConfig(true, SettingsGroupSet::All());
        std::vector<TRecipient> rows;
        rows.reserve(Rows);
        for (int i = 0; i < Rows; ++i)
            rows.push_back({RecipientStatus::NotSent,
                            u"customer%1@mail%2.example.com"_s.arg(i).arg(i % 97),
                            {Name(i), Town(i)},
                            u"Not yet sent"_s});
        WriteJobList(JobListPath(), rows);

        Form = std::make_unique<TBryMainForm>(std::make_unique<FakePowerInhibitor>());
        Form->show();
        QApplication::processEvents();
        // The window in job mode as a job puts it; the benchmark does the job timer's part.
        Form->SetJobMode(JobMode::SendAll);
        Form->JobTimer().SetEnabled(false);
    }

    ~Window()
    {
        Form->SetJobMode(JobMode::Idle);
        SetMessageBoxHook(nullptr);
    }

    TAdListPanel &List() const { return *Form->AdListPanel(); }

    /** From the first recipient again, every one not yet sent. */
    void Restart()
    {
        std::vector<int> all(Rows);
        std::iota(all.begin(), all.end(), 0);
        List().RecipientModel().SetResults(all, RecipientStatus::NotSent, u"Not yet sent"_s);
        List().BeginRecipients(JobMode::SendAll);
        QApplication::processEvents();
    }

    std::unique_ptr<TBryMainForm> Form;

private:
    QTemporaryDir m_dir;
};

// One window per letter, built at first use and closed before the application object goes.
std::map<Letter, std::unique_ptr<Window>> g_windows;

Window &Shared(const Letter &letter)
{
    std::unique_ptr<Window> &window = g_windows[letter];
    if (!window)
        window = std::make_unique<Window>(LetterText(letter));
    return *window;
}

void BM_WindowWorkPerEmail(benchmark::State &state)
{
    Window &window = Shared(Letter{state.range(0) != 0, state.range(1) != 0});
    TAdListPanel &list = window.List();
    TEmailPanel &view = *window.Form->EmailPanel();
    window.Restart();
    // Where the time goes, wall clock: selecting and showing, recording, painting.
    QElapsedTimer clock;
    qint64 show = 0;
    qint64 record = 0;
    qint64 paint = 0;
    for (auto _ : state) {
        clock.start();
        if (!list.AdvanceRecipients(JobMode::SendAll)) {
            state.PauseTiming();
            window.Restart();
            state.ResumeTiming();
            clock.start();
        }
        window.Form->SetStatusText(u"Sending E-Mail ..."_s);
        // What the job hands over.
        TEmailMessage message;
        message.To = view.ToItem();
        message.Subject = view.GetSubject();
        message.Body = view.GetBody();
        benchmark::DoNotOptimize(message);
        show += clock.nsecsElapsed();
        clock.start();
        list.RecordResult(RecipientStatus::Sent, {});
        view.ShowStatus(&list.Recipient(list.CurrentItem()));
        record += clock.nsecsElapsed();
        clock.start();
        QApplication::processEvents();
        paint += clock.nsecsElapsed();
    }
    const auto perEmail = [&state](qint64 ns) { return double(ns) / 1000.0 / double(state.iterations()); };
    state.counters["show_us"] = perEmail(show);
    state.counters["record_us"] = perEmail(record);
    state.counters["paint_us"] = perEmail(paint);
}
// html: the letter as HTML; many: a placeholder in every fourth paragraph
// besides the greeting, else only in the greeting and one paragraph further down.
BENCHMARK(BM_WindowWorkPerEmail)
    ->ArgNames({"html", "many"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks<QApplication>(argc, argv, [] { g_windows.clear(); });
}
