#include "MsgDlgs.h"
#include "StartupEnv.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velko Courierline"));
    QApplication::setDesktopFileName(QStringLiteral("velko-courierline"));
    InitStartup();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Velko Courierline"));
    SetMsgDlgMainForm(&window);
    window.show();
    return QApplication::exec();
}
