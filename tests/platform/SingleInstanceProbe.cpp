// A tiny program that follows the single-instance rule as the real program
// does, so that tests can start two real processes against each other.
//   SingleInstanceProbe FOLDER TITLE WAIT_MS HOLD_MS
// Prints one line per event on stdout: "timeout", "deferred", "serving",
// "forward". HOLD_MS: how long it keeps the start-up lock before serving.
#include "LocalSingleInstance.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

namespace {

void Say(const char *word)
{
    std::printf("%s\n", word);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5)
        return 2;
    const QString title = args[2];
    LocalSingleInstance instance(args[1], QStringLiteral("Velko Courierline"), args[3].toInt());
    switch (instance.StartupCheck()) {
    case SingleInstance::StartupResult::TimedOut:
        Say("timeout");
        return 0;
    case SingleInstance::StartupResult::Deferred:
        Say("deferred");
        return 0;
    case SingleInstance::StartupResult::Proceed:
        break;
    }
    // The time a real start spends creating its main window.
    QThread::msleep(args[4].toULong());
    instance.Serve([title] { return title; }, [] { Say("forward"); });
    instance.ReleaseStartup();
    Say("serving");
    return QCoreApplication::exec();
}
