// Start-up to idle with an empty list and no attachment: the main window built
// over an empty data folder, shown and its first events handled, on the
// offscreen platform. Nothing needs a content type yet, so the system's MIME
// database is not read: compose_bench's BM_FillMimeTable is what the first
// attachment of a run pays for it.
#include "BenchMain.h"
#include "FakePowerInhibitor.h"
#include "Main.h"
#include "MsgDlgs.h"
#include "StartupEnv.h"

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void BM_StartUpToIdle(benchmark::State &state)
{
    const QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.filePath(u"data"_s).toUtf8());
    qputenv("HOME", dir.path().toUtf8());
    InitStartup();
    SetMessageBoxHook([](MsgDlgType, const QString &) { return true; });
    for (auto _ : state) {
        auto form = std::make_unique<TBryMainForm>(std::make_unique<FakePowerInhibitor>());
        form->show();
        QApplication::processEvents();
        QApplication::sendPostedEvents();
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    SetMessageBoxHook(nullptr);
}
BENCHMARK(BM_StartUpToIdle)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks<QApplication>(argc, argv);
}
