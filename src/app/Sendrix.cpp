#include "Sendrix.h"

#include "ErrorGuard.h"
#include "FirstRun.h"
#include "Main.h"
#include "MsgDlgs.h"
#include "ProgramFiles.h"
#include "SingleInstance.h"
#include "StartupEnv.h"
#include "StatusIcons.h"

#include <QApplication>
#include <QPointer>

int RunProgram(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle.toString());
    QApplication::setDesktopFileName(QStringLiteral("velko-courierline"));
    QApplication::setWindowIcon(ProgramIcon());
    InitStartup();

    const std::unique_ptr<SingleInstance> instance = CreateSingleInstance(AppTitle.toString());
    if (instance->StartupCheck() != SingleInstance::StartupResult::Proceed)
        return 0;

    std::unique_ptr<TBryMainForm> form;
    {
        // The start-up lock is held until the main window exists, whatever happens.
        struct Release {
            SingleInstance &instance;
            ~Release() { instance.ReleaseStartup(); }
        } release{*instance};
        RunGuarded([&] {
            const bool firstRun = InstallDataFolder(ProgramDirNoBackslash());
            InstallProgramFiles(ProgramDirNoBackslash(), firstRun);
            form = std::make_unique<TBryMainForm>();
        });
        if (!form)
            return 1;
        SetMsgDlgMainForm(form.get());
        const QPointer<TBryMainForm> window = form.get();
        instance->Serve([window] { return window ? window->windowTitle() : QString(); },
                        [window] {
                            if (window)
                                window->ComeForward();
                        });
    }
    form->show();
    const int result = QApplication::exec();
    SetMsgDlgMainForm(nullptr);
    return result;
}
