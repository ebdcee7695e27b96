#pragma once

#include "DialogButtons.h"

#include <QWidget>

#include <array>

class QPushButton;

/**
 * @short The bottom bar of every dialog: standard push buttons from the button
 * table, a left group and a right-aligned group, an optional separator line.
 *
 * One signal reports every click with the button's id. After the handlers
 * return, a button with a modal result closes its QDialog (OK accepts, Cancel
 * rejects) unless a handler called KeepOpen. Escape clicks the cancel button,
 * so its handler runs before the dialog closes.
 */
class TDialogBtnPanel : public QWidget {
    Q_OBJECT
public:
    explicit TDialogBtnPanel(QWidget *parent = nullptr);

    static constexpr int BarHeight = 50;
    static constexpr int ButtonWidth = 90;
    static constexpr int ButtonHeight = 28;

    /**
     * Builds the bar once, on a panel whose parent (the dialog) is set: the
     * buttons of the set in id order, the default and cancel buttons, and
     * the bar kept at the bottom of the parent, full width, 50 px high.
     */
    void Setup(DialogButtonSet buttons, bool showSeparator, int margin);

    /** The button of an id, or nullptr when the set did not hold it. */
    QPushButton *Button(DialogButtonId id) const;
    /** The caption of a table row. */
    static QString ButtonCaption(DialogButtonId id);

    bool ShowSeparator() const { return m_showSeparator; }
    int Margin() const { return m_margin; }

    /** For a ButtonClicked handler: the dialog stays open although the button has a modal result. */
    void KeepOpen() { m_keepOpen = true; }

signals:
    /** A button was clicked (by mouse, key or Escape for the cancel button). */
    void ButtonClicked(DialogButtonId Id);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ButtonClick(DialogButtonId id);
    void LayoutButtons();
    void AlignToParentBottom();
    QPushButton *CancelButton() const;

    bool m_showSeparator = false;
    int m_margin = 0;
    bool m_keepOpen = false;
    std::array<QPushButton *, DialogButtonCount> m_buttons{};
};
