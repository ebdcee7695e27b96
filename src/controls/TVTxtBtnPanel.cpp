#include "TVTxtBtnPanel.h"

#include "TCardLabel.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int LinkLeft = 5;
constexpr int SeparatorGap = 6;

} // namespace

TVTxtBtnPanel::TVTxtBtnPanel(QWidget *parent)
    : TCommandLinkBar(parent)
{
}

void TVTxtBtnPanel::Setup(CommandSet commands, TColor lineColour)
{
    SetBarLook(0xF0FFFF);
    m_lineColor = lineColour;
    m_linkWidth = 0;
    int top = 1;
    for (int id = 0; id < CommandCount; ++id) {
        const auto command = static_cast<CommandId>(id);
        // Id 23 is no command: even a set that holds it gets no link for it.
        if (!commands.Contains(command) || command == cmNone)
            continue;
        if (SeparatorCommands.Contains(command))
            top += SeparatorGap;
        const TCardLabel *link = CreateLink(command, CommandCaptions[command], LinkLeft, top);
        top += link->height();
        m_linkWidth = std::max(m_linkWidth, link->width());
    }
    setGeometry(0, 0, m_linkWidth + 10, 0);
}

void TVTxtBtnPanel::SetCommandCaption(CommandId command, const QString &caption)
{
    if (TCardLabel *link = Link(command); link && link->Caption() != caption)
        link->SetCaption(caption);
}

void TVTxtBtnPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor colour = ColorFromBGR(m_lineColor);
    for (int id = 0; id < CommandCount; ++id) {
        const auto command = static_cast<CommandId>(id);
        if (!SeparatorCommands.Contains(command))
            continue;
        // In the middle of the gap above the link; the end point is left out.
        if (const TCardLabel *link = Link(command))
            painter.fillRect(LinkLeft, link->y() - 3, m_linkWidth, 1, colour);
    }
}
