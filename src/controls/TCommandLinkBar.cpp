#include "TCommandLinkBar.h"

#include "TCardLabel.h"

TCommandLinkBar::TCommandLinkBar(QWidget *parent)
    : QWidget(parent)
{
}

TCardLabel *TCommandLinkBar::Link(CommandId command) const
{
    return command < CommandCount ? m_links[command] : nullptr;
}

void TCommandLinkBar::SetCommandEnabled(CommandId command, bool enabled)
{
    if (TCardLabel *link = Link(command))
        link->setEnabled(enabled);
}

void TCommandLinkBar::SetBarLook(TColor colour)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorFromBGR(colour));
    pal.setColor(QPalette::WindowText, ColorFromBGR(0x803000));
    setPalette(pal);
    // Only the weight is the bar's own: face and size keep following the parent.
    QFont bold;
    bold.setBold(true);
    setFont(bold);
}

TCardLabel *TCommandLinkBar::CreateLink(CommandId command, const QString &caption, int left, int top)
{
    auto *link = new TCardLabel(this);
    link->SetCaption(caption);
    // On the white bar the link's usual grey would stand out; button face fades it.
    link->SetDisabledColor(clBtnFace);
    // The hint goes to the main window's status bar, never into a tooltip.
    link->setStatusTip(CommandHints[command]);
    link->SetIsLink(true);
    link->SetTag(command);
    link->move(left, top);
    connect(link, &TCardLabel::clicked, this, [this, link] { LinkClick(link); });
    m_links[command] = link;
    return link;
}

QList<TCardLabel *> TCommandLinkBar::ExistingLinks() const
{
    QList<TCardLabel *> links;
    for (TCardLabel *link : m_links)
        if (link)
            links << link;
    return links;
}

void TCommandLinkBar::LinkClick(TCardLabel *link)
{
    // The control that had the focus (the list, an edit) gives it up before the command runs.
    setFocus(Qt::MouseFocusReason);
    emit OnCommand(this, static_cast<CommandId>(link->Tag() & 0xFF));
}
