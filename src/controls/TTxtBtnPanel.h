#pragma once

#include "TCommandLinkBar.h"

/**
 * @short The horizontal command bar: links side by side on white, 18 px apart,
 * with a thin separator between neighbours. It sits at the bottom of every
 * command panel.
 */
class TTxtBtnPanel : public TCommandLinkBar {
    Q_OBJECT
public:
    explicit TTxtBtnPanel(QWidget *parent = nullptr);

    /**
     * Builds the links of the commands (at least one) and sizes the bar to
     * them: width = sum of link widths + 18 per gap, height = link height + 6.
     * Command 10 reads "Del" on a work area narrower than 700 px.
     */
    void Setup(CommandSet commands);

protected:
    void paintEvent(QPaintEvent *event) override;
};
