#include "FormPlacement.h"

#include "IniFile.h"
#include "StartupEnv.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Smaller stored windows would be unusable after a change of screen.
constexpr int MinRestoredSize = 400;

int FormPPI(const QWidget *form)
{
    const QScreen *screen = form->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

QSize VirtualDesktopSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().size() : QSize(WorkArea.Width, WorkArea.Height);
}

} // namespace

void CenterOnWorkArea(QWidget *form)
{
    const int width = std::min(WorkArea.Width, form->width());
    const int height = std::min(WorkArea.Height, form->height());
    const int left = WorkArea.Left + std::max(0, (WorkArea.Width - width) / 2);
    const int top = WorkArea.Top + std::max(0, (WorkArea.Height - height) / 2);
    form->setGeometry(left, top, width, height);
}

void MoveInsideWorkArea(QWidget *form, const QPoint &position)
{
    const QScreen *screen = QGuiApplication::screenAt(position);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area =
        screen ? screen->availableGeometry() : QRect(WorkArea.Left, WorkArea.Top, WorkArea.Width, WorkArea.Height);
    // The frame is not known before the first showing: the window's own size stands for it.
    const int left = std::max(area.left(), std::min(position.x(), area.left() + area.width() - form->width()));
    const int top = std::max(area.top(), std::min(position.y(), area.top() + area.height() - form->height()));
    form->move(left, top);
}

void SaveFormPos(QWidget *form, IniFile &ini, const QString &section)
{
    // A maximised or minimised window keeps the bounds it returns to; one
    // maximised before it was ever shown has none yet.
    const bool maximized = form->isMaximized();
    QRect r = form->geometry();
    if ((maximized || form->isMinimized()) && form->normalGeometry().isValid())
        r = form->normalGeometry();
    ini.WriteInteger(section, u"Left"_s, r.left());
    ini.WriteInteger(section, u"Top"_s, r.top());
    ini.WriteInteger(section, u"Width"_s, r.width());
    ini.WriteInteger(section, u"Height"_s, r.height());
    ini.WriteInteger(section, u"PPI"_s, FormPPI(form));
    ini.WriteBool(section, u"Maximized"_s, maximized);
}

void LoadFormPos(QWidget *form, IniFile &ini, const QString &section, bool &maximized)
{
    const int ppi = FormPPI(form);
    if (ini.ReadInteger(section, u"PPI"_s, ppi) != ppi)
        return;

    const QSize desktop = VirtualDesktopSize();
    const QRect current = form->geometry();
    int left = std::max(WorkArea.Left, ini.ReadInteger(section, u"Left"_s, current.left()));
    int top = std::max(WorkArea.Top, ini.ReadInteger(section, u"Top"_s, current.top()));
    int width = std::min(ini.ReadInteger(section, u"Width"_s, current.width()), desktop.width());
    int height = std::min(ini.ReadInteger(section, u"Height"_s, current.height()), desktop.height());
    maximized = ini.ReadBool(section, u"Maximized"_s, false);

    width = std::max(width, MinRestoredSize);
    height = std::max(height, MinRestoredSize);
    if (desktop.width() < left + width)
        left = desktop.width() - width;
    if (desktop.height() < top + height)
        top = desktop.height() - height;
    form->setGeometry(left, top, width, height);
}
