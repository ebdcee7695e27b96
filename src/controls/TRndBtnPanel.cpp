#include "TRndBtnPanel.h"

#include "TTxtBtnPanel.h"

#include <QPainter>
#include <QResizeEvent>

TRndBtnPanel::TRndBtnPanel(QWidget *parent)
    : TRoundedPanel(parent)
{
}

void TRndBtnPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                         TColor shadowCornerColor)
{
    Setup(0xFFFFFF, bandColor, captionColor, cornerColor, shadowCornerColor);
    m_buttons = new TTxtBtnPanel(this);
    m_buttons->Setup(commands);
    connect(m_buttons, &TTxtBtnPanel::OnCommand, this,
            [this](QObject *sender, CommandId command) { DoCommand(sender, command); });
    SetBounds(x(), y(), width(), height());
}

void TRndBtnPanel::DoCommand(QObject *Sender, CommandId Command)
{
    emit OnCommand(Sender, Command);
}

void TRndBtnPanel::SetBounds(int left, int top, int width, int height)
{
    if (m_buttons)
        m_buttons->move((width - m_buttons->width()) / 2, height - m_buttons->height() - 1);
    setGeometry(left, top, width, height);
}

void TRndBtnPanel::DisableCommands()
{
    SetAllCommandsEnabled(false);
}

void TRndBtnPanel::EnableCommands()
{
    SetAllCommandsEnabled(true);
}

void TRndBtnPanel::SetAllCommandsEnabled(bool enabled)
{
    if (!m_buttons)
        return;
    for (int id = 0; id < CommandCount; ++id)
        m_buttons->SetCommandEnabled(static_cast<CommandId>(id), enabled);
}

void TRndBtnPanel::SetShowSeparator(bool showSeparator)
{
    m_showSeparator = showSeparator;
    update();
}

void TRndBtnPanel::paintEvent(QPaintEvent *event)
{
    TRoundedPanel::paintEvent(event);
    if (!m_showSeparator || !m_buttons)
        return;
    QPainter painter(this);
    painter.fillRect(5, m_buttons->y() - 1, width() - 10, 1, ColorFromBGR(FrameColor()));
}

void TRndBtnPanel::resizeEvent(QResizeEvent *event)
{
    TRoundedPanel::resizeEvent(event);
    // A resize by any other way than SetBounds lays the panel out all the same.
    SetBounds(x(), y(), event->size().width(), event->size().height());
}
