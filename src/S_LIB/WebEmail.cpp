#include "WebEmail.h"

#include "MsgDlgs.h"
#include "StartupEnv.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

UrlOpenHook &Hook()
{
    static UrlOpenHook hook;
    return hook;
}

bool DesktopOpen(const QUrl &url)
{
    if (Hook())
        return Hook()(url);
    return url.isValid() && QDesktopServices::openUrl(url);
}

QUrl AddressUrl(const QString &address)
{
    if (address.startsWith(u'/'))
        return QUrl::fromLocalFile(address);
    if (!address.contains(u':'))
        return QUrl(u"http://"_s + address);
    return QUrl(address);
}

} // namespace

void SetUrlOpenHook(UrlOpenHook hook)
{
    Hook() = std::move(hook);
}

void ShowLastError(int errorCode)
{
    ErrorBox(QString::fromLocal8Bit(std::strerror(errorCode)));
}

bool OpenURL(const QString &address)
{
    const QUrl url = AddressUrl(address);
    // The desktop would report a missing file in a window of its own, or
    // not at all: say it here, in the words of the system.
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        ShowLastError(ENOENT);
        return false;
    }
    if (DesktopOpen(url))
        return true;
    ErrorBox(u"No program is set up to open \"%1\"."_s.arg(address));
    return false;
}

QString HelpPagePath()
{
    return ProgramDir() + u"bry_help.htm"_s;
}

bool OpenHelpPage()
{
    return OpenURL(HelpPagePath());
}

QString HomePageURL()
{
    return u"https://"_s + HomePageHost() + u"/"_s;
}

QString HomePageHost()
{
    return u"www.velko-courierline.example"_s;
}

QString SupportEmail()
{
    return u"support@velko-courierline.example"_s;
}

bool OpenHomePage()
{
    if (DesktopOpen(QUrl(HomePageURL())))
        return true;
    ErrorBox(u"Unable to start web browser. Make sure you have it properly setup on your system."_s);
    return false;
}

bool OpenSupportMail()
{
    if (DesktopOpen(QUrl(u"mailto:"_s + SupportEmail())))
        return true;
    ErrorBox(u"Unable to start Internet mail client. Make sure you have it properly setup on your system."_s);
    return false;
}
