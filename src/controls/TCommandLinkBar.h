#pragma once

#include "CommandTable.h"
#include "dcOutCommon.h"

#include <QWidget>

#include <array>

class TCardLabel;

/**
 * @short What the horizontal and vertical command bars share: one link per
 * command of the set, their enabling, and the click that raises OnCommand.
 */
class TCommandLinkBar : public QWidget {
    Q_OBJECT
public:
    /** The link of a command, or nullptr when the bar does not show it. */
    TCardLabel *Link(CommandId command) const;

    /** Enables or disables a command's link; an id the bar does not show changes nothing. */
    void SetCommandEnabled(CommandId command, bool enabled);

signals:
    /** A link was clicked: Sender is the bar, Command the link's command id. */
    void OnCommand(QObject *Sender, CommandId Command);

protected:
    explicit TCommandLinkBar(QWidget *parent);

    /** The look both bars share: no border, own background colour, bold text in 0x803000. */
    void SetBarLook(TColor colour);
    /** A link for the command, with the caption given, placed at left, top. */
    TCardLabel *CreateLink(CommandId command, const QString &caption, int left, int top);
    /** The links that exist, in command-id order. */
    QList<TCardLabel *> ExistingLinks() const;

private:
    void LinkClick(TCardLabel *link);

    std::array<TCardLabel *, CommandCount> m_links{};
};
