// The mailing list at its limit: 20000 recipients with 9 parameters.
#include "BenchMain.h"
#include "FileDialogs.h"
#include "JobListFile.h"
#include "JobListJournal.h"
#include "MsgDlgs.h"
#include "PnAdList.h"
#include "StartupEnv.h"
#include "TESettings.h"
#include "TRecipientModel.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 20000;

QString CsvLine(int i)
{
    QString line = u"recipient%1@mail%2.example.com"_s.arg(i).arg(i % 97);
    for (int k = 1; k <= 9; ++k)
        line += u",Value %1 of row %2"_s.arg(k).arg(i);
    return line;
}

QStringList JobLines(RecipientStatus status = RecipientStatus::NotSent)
{
    QStringList lines;
    lines.reserve(Rows);
    for (int i = 0; i < Rows; ++i)
        lines.append(u"%1|"_s.arg(ToInt(status)) + CsvLine(i).replace(u',', u'|') + u"|Not yet sent"_s);
    return lines;
}

/** A shown list panel over a temporary data folder, with the dialogs answered. */
class Fixture {
public:
    Fixture()
    {
        qputenv("XDG_DATA_HOME", m_dir.filePath(u"data"_s).toUtf8());
        qputenv("HOME", m_dir.path().toUtf8());
        InitStartup();
        SetMessageBoxHook([](MsgDlgType, const QString &) { return true; });
        SetFileDialogHook([this](FileDialogRequest &) { return QStringList{CsvFile()}; });
        Panel = new TAdListPanel(&m_window);
        Panel->SetSettings(&m_settings);
        Panel->Build({cmImport, cmExport, cmClear, cmAdd, cmEdit, cmDelete}, 0xF8D8B8, 0x584820, 0xD0F7FF, 0x80A8AB);
        Panel->SetBounds(0, 0, 500, 600);
        m_window.resize(520, 620);
        m_window.show();

        QFile csv(CsvFile());
        if (csv.open(QIODevice::WriteOnly)) {
            csv.write("Email,P1,P2,P3,P4,P5,P6,P7,P8,P9\r\n");
            for (int i = 0; i < Rows; ++i)
                csv.write((CsvLine(i) + u"\r\n"_s).toUtf8());
        }
    }

    ~Fixture()
    {
        SetMessageBoxHook(nullptr);
        SetFileDialogHook(nullptr);
    }

    QString CsvFile() const { return m_dir.filePath(u"list.csv"_s); }

    TAdListPanel *Panel = nullptr;

private:
    QTemporaryDir m_dir;
    TESettings m_settings;
    QWidget m_window;
};

// Built at first use, freed before the application object goes.
std::unique_ptr<Fixture> g_fixture;

Fixture &Shared()
{
    if (!g_fixture)
        g_fixture = std::make_unique<Fixture>();
    return *g_fixture;
}

void BM_ImportCsv(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    for (auto _ : state)
        benchmark::DoNotOptimize(panel->ImportList());
    state.counters["rows"] = panel->ItemCount();
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

void BM_LoadList(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    const QStringList lines = JobLines();
    for (auto _ : state) {
        QStringList copy = lines;
        panel->LoadList(copy);
    }
    state.counters["rows"] = panel->ItemCount();
}
BENCHMARK(BM_LoadList)->Unit(benchmark::kMillisecond);

// The start-up: the job-list file read, decoded and shown.
void BM_LoadJobList(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    QStringList lines = JobLines();
    panel->LoadList(lines);
    panel->SaveJobList();
    for (auto _ : state)
        panel->LoadJobList(false);
    state.counters["rows"] = panel->ItemCount();
}
BENCHMARK(BM_LoadJobList)->Unit(benchmark::kMillisecond);

// What a job does per result instead of saving the list: one journal line, on the disk.
void BM_JournalResult(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    QStringList lines = JobLines();
    panel->LoadList(lines);
    panel->SaveJobList();
    panel->SetJobMode(JobMode::SendAll);
    panel->BeginRecipients(JobMode::SendAll);
    for (auto _ : state)
        panel->JournalResults(panel->RecordResult(RecipientStatus::Sent, {}));
    panel->SetJobMode(JobMode::Idle);
    state.counters["journal_bytes"] = double(QFileInfo(JobListJournalPath()).size());
    panel->SaveJobList();
}
BENCHMARK(BM_JournalResult)->Unit(benchmark::kMicrosecond);

// The fold at a pause or at the end of a job: the whole list written, the journal deleted.
void BM_FoldJobList(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    QStringList lines = JobLines();
    panel->LoadList(lines);
    for (auto _ : state) {
        state.PauseTiming();
        panel->JournalResults({0});
        state.ResumeTiming();
        panel->SaveJobList();
    }
}
BENCHMARK(BM_FoldJobList)->Unit(benchmark::kMillisecond);

void BM_RecountStatuses(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    QStringList lines = JobLines();
    panel->LoadList(lines);
    for (auto _ : state)
        panel->RecountStatuses();
}
BENCHMARK(BM_RecountStatuses)->Unit(benchmark::kMicrosecond);

void BM_RecordResult(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    QStringList lines = JobLines();
    panel->LoadList(lines);
    panel->SetJobMode(JobMode::SendAll);
    panel->BeginRecipients(JobMode::SendAll);
    for (auto _ : state)
        panel->RecordResult(RecipientStatus::Failed, u"550 mailbox unavailable\r\n"_s);
    panel->SetJobMode(JobMode::Idle);
}
BENCHMARK(BM_RecordResult)->Unit(benchmark::kMicrosecond);

void BM_BccWalk100(benchmark::State &state)
{
    TAdListPanel *panel = Shared().Panel;
    TESettings &settings = *panel->Settings();
    settings.Param(spMethodBcc).SetBool(true);
    settings.Param(spMethodCount).SetInt(100);
    QStringList lines = JobLines();
    panel->LoadList(lines);
    TRecipientModel &model = panel->RecipientModel();
    std::vector<int> all(Rows);
    std::iota(all.begin(), all.end(), 0);
    int groups = 0;
    for (auto _ : state) {
        state.PauseTiming();
        model.SetResults(all, RecipientStatus::NotSent, u"Not yet sent"_s);
        state.ResumeTiming();
        groups = 0;
        panel->SetJobMode(JobMode::SendAll);
        panel->BeginRecipients(JobMode::SendAll);
        do {
            ++groups;
            panel->RecordResult(RecipientStatus::Sent, {});
        } while (panel->AdvanceRecipients(JobMode::SendAll));
        panel->SetJobMode(JobMode::Idle);
    }
    settings.Param(spMethodBcc).SetBool(false);
    state.counters["groups"] = groups;
}
BENCHMARK(BM_BccWalk100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks<QApplication>(argc, argv, [] { g_fixture.reset(); });
}
