// A child process for the crash tests: the real main window on the offscreen
// platform over the data folder of its environment (XDG_DATA_HOME), which
// starts "Send All Remaining" against the SMTP port given and quits when the
// job is over. It tells the test on stdout, one line each, what happened, so
// that the test knows when to kill it:
//   step <n>              the job machine entered step n
//   recorded <row>|<text> a row got its result, with its status text
//   fold                  the journal is about to be deleted after the list was
//                         written (only with --hold-at-fold, which then waits
//                         there for the kill, longer than the test waits for
//                         anything)
//   box <text>            a message box came up (answered with OK or Yes)
//   done                  the job is over
//
// Usage: JobCrashRunner --port <n> [--hold-at-fold]
#include "CommandTable.h"
#include "DlgCompl.h"
#include "FakePowerInhibitor.h"
#include "Main.h"
#include "MsgDlgs.h"
#include "PnAdList.h"
#include "StartupEnv.h"
#include "TESettings.h"
#include "TJobMachine.h"
#include "TJobTimer.h"
#include "TRecipientModel.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace {

bool g_holdAtFold = false;

void Tell(const QString &line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

} // namespace

// Every deletion of the program goes through here: the journal's deletion
// after the list was written whole is the point inside a fold where a kill
// leaves both files behind.
extern "C" int unlink(const char *path)
{
    using Unlink = int (*)(const char *);
    static const auto next = reinterpret_cast<Unlink>(dlsym(RTLD_NEXT, "unlink"));
    const std::size_t length = std::strlen(path);
    constexpr char Journal[] = "/bry_jlst.jnl";
    if (g_holdAtFold && length >= sizeof Journal - 1
        && std::strcmp(path + length - (sizeof Journal - 1), Journal) == 0) {
        Tell(u"fold"_s);
        std::this_thread::sleep_for(std::chrono::minutes(2));
    }
    return next(path);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const qsizetype portAt = args.indexOf(u"--port"_s);
    const int port = portAt >= 0 && portAt + 1 < args.size() ? args[portAt + 1].toInt() : 0;
    g_holdAtFold = args.contains(u"--hold-at-fold"_s);
    InitStartup();
    SetMessageBoxHook([](MsgDlgType, const QString &text) {
        Tell(u"box "_s + QString(text).replace(u'\n', u' ').replace(u'\r', u' '));
        return true;
    });

    TBryMainForm form(std::make_unique<FakePowerInhibitor>());
    // Ten times the pace, as the window tests run it; the job counts ticks.
    form.JobTimer().SetInterval(10);
    form.show();
    // Ports above 9999 do not come from the configuration file.
    form.Settings()->Param(spSmtpPort).SetInt(port);

    const TRecipientModel &model = form.AdListPanel()->RecipientModel();
    std::vector<RecipientStatus> statuses;
    for (const TRecipient &r : model.Recipients())
        statuses.push_back(r.Status);
    int step = -1;
    bool started = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        // The job summary closes at once.
        if (auto *summary = qobject_cast<TSummaryDialog *>(QApplication::activeModalWidget()))
            summary->done(TSummaryDialog::CloseResult);
        for (size_t row = 0; row < statuses.size() && row < model.Recipients().size(); ++row) {
            const TRecipient &r = model.Recipient(int(row));
            if (r.Status != statuses[row]) {
                statuses[row] = r.Status;
                Tell(u"recorded %1|"_s.arg(row) + r.StatusText);
            }
        }
        if (form.CurrentJobMode() != JobMode::Idle && int(form.JobMachine()->JobStep()) != step) {
            step = int(form.JobMachine()->JobStep());
            Tell(u"step %1"_s.arg(step));
        }
        if (started && form.CurrentJobMode() == JobMode::Idle) {
            Tell(u"done"_s);
            QApplication::quit();
        }
    });
    watch.start(1);
    QTimer::singleShot(0, &form, [&] {
        started = true;
        form.ExecuteCommand(nullptr, cmSendAll);
    });
    const int result = QApplication::exec();
    SetMessageBoxHook(nullptr);
    return result;
}
