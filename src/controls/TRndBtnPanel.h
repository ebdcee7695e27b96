#pragma once

#include "CommandTable.h"
#include "TRoundedPanel.h"

class TTxtBtnPanel;

/**
 * @short A rounded panel with a horizontal bar of command links centred at its
 * bottom edge; a link click reaches the owner through OnCommand.
 *
 * Owner's order: create (parent = the container), connect OnCommand and set
 * any data the derived Build needs, Build, SetBounds; later DisableCommands /
 * EnableCommands around a job.
 */
class TRndBtnPanel : public TRoundedPanel {
    Q_OBJECT
public:
    explicit TRndBtnPanel(QWidget *parent = nullptr);

    /**
     * Builds the panel once: white panel colour with the four colours given,
     * then the command bar of the commands (at least one), its clicks routed
     * to DoCommand. Derived panels extend it (title, size, list columns).
     */
    virtual void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                       TColor shadowCornerColor);

    /**
     * Places the bar (centred, 1 px above the bottom edge; the odd pixel goes
     * to the right of it) for the new size, then moves and sizes the panel.
     * Any resize of the panel lays it out the same way.
     */
    virtual void SetBounds(int left, int top, int width, int height);

    /** Disables every command link (all 29 ids). */
    void DisableCommands();
    /** Enables every command link (all 29 ids). */
    void EnableCommands();

    /** A line above the command bar; the list frame of TRndLVPanel is then 4 px shorter. */
    bool ShowSeparator() const { return m_showSeparator; }
    void SetShowSeparator(bool showSeparator);

    /** The command bar; nullptr before Build. */
    TTxtBtnPanel *Buttons() const { return m_buttons; }

signals:
    /** A command was chosen: Sender is whoever reported it (the command bar for a link click). */
    void OnCommand(QObject *Sender, CommandId Command);

protected:
    /** Every link click of the bar arrives here; the default passes it on unchanged to OnCommand. */
    virtual void DoCommand(QObject *Sender, CommandId Command);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void SetAllCommandsEnabled(bool enabled);

    bool m_showSeparator = false;
    TTxtBtnPanel *m_buttons = nullptr;
};
