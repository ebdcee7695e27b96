#include "TTxtBtnPanel.h"

#include "StartupEnv.h"
#include "TCardLabel.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

constexpr int LinkGap = 18;
constexpr int LinkTop = 3;

} // namespace

TTxtBtnPanel::TTxtBtnPanel(QWidget *parent)
    : TCommandLinkBar(parent)
{
}

void TTxtBtnPanel::Setup(CommandSet commands)
{
    SetBarLook(0xFFFFFF);
    int x = 0;
    int firstHeight = 0;
    for (int id = 0; id < CommandCount; ++id) {
        const auto command = static_cast<CommandId>(id);
        // Id 23 is no command: even a set that holds it gets no link for it.
        if (!commands.Contains(command) || command == cmNone)
            continue;
        QString caption = CommandCaptions[command];
        if (command == cmDelete && WorkArea.Width < 700)
            caption = u"Del"_s;
        const TCardLabel *link = CreateLink(command, caption, x, LinkTop);
        x += link->width() + LinkGap;
        if (firstHeight == 0)
            firstHeight = link->height();
    }
    resize(x - LinkGap, firstHeight + 2 * LinkTop);
}

void TTxtBtnPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor colour = palette().color(QPalette::WindowText);
    const QList<TCardLabel *> links = ExistingLinks();
    // A separator 1 px wide in the ninth column of each gap, 5 px short of top and bottom.
    for (qsizetype i = 0; i + 1 < links.size(); ++i) {
        const int x = links.at(i)->x() + links.at(i)->width() + 8;
        if (x >= width())
            break;
        painter.fillRect(x, 5, 1, height() - 9, colour);
    }
}
