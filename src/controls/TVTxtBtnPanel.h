#pragma once

#include "TCommandLinkBar.h"

/**
 * @short The vertical command bar: links stacked on a pale yellow ground, with
 * a gap and a line above each of SeparatorCommands. The owner places it and
 * gives it its height.
 */
class TVTxtBtnPanel : public TCommandLinkBar {
    Q_OBJECT
public:
    explicit TVTxtBtnPanel(QWidget *parent = nullptr);

    /** Builds the links and sets the bounds to (0, 0, LinkWidth + 10, 0). */
    void Setup(CommandSet commands, TColor lineColour);

    /**
     * Sets the caption of a command the bar shows; an equal caption changes
     * nothing. The link resizes itself; the bar and LinkWidth stay as they are.
     */
    void SetCommandCaption(CommandId command, const QString &caption);

    TColor LineColor() const { return m_lineColor; }
    /** Width of the widest link at Setup. */
    int LinkWidth() const { return m_linkWidth; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor m_lineColor = 0;
    int m_linkWidth = 0;
};
