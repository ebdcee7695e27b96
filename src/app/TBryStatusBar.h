#pragma once

#include <QAccessible>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

/** @short How one status panel is made: its least width, what it must have room for, its name. */
struct TStatusPanel {
    int MinWidth = 0;
    Qt::Alignment Alignment = Qt::AlignLeft;
    /** Drawn by the owner instead of showing its text. */
    bool OwnerDrawn = false;
    /** The longest text the panel shows: it is made wide enough for it in the bar's font (digits as the widest digit).
     */
    QString LongestText;
    /** Pixels the owner draws before the text (an icon). */
    int TextLeft = 0;
    /** What assistive technology calls the panel. */
    QString Name;
};

/**
 * @short The main window's status bar: a row of panels, the last of which
 * stretches to the right edge; a panel either shows its text or is drawn by
 * the owner.
 *
 * Each panel is as wide as its longest text needs in the font the bar has,
 * and never narrower than its least width; the bar is as high as the font
 * needs, at least BarHeight. Assistive technology sees a status bar whose
 * children are the panels, each named and with its text as its value and
 * its description.
 */
class TBryStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int BarHeight = 20;

    /** Draws an owner-drawn panel: its index and the rectangle inside its edges. */
    using DrawPanelFn = std::function<void(QPainter &painter, int index, const QRect &rect)>;

    explicit TBryStatusBar(QWidget *parent = nullptr);
    ~TBryStatusBar() override;

    /** Appends a panel. */
    void AddPanel(const TStatusPanel &panel);
    /** Appends a panel of that width. */
    void AddPanel(int width, Qt::Alignment alignment = Qt::AlignLeft, bool ownerDrawn = false);
    void RemoveLastPanel();
    int PanelCount() const { return int(m_panels.size()); }

    /** The panel's text; an owner-drawn panel's owner draws it. */
    QString PanelText(int index) const;
    /** Repaints the panel only when its text changes. */
    void SetPanelText(int index, const QString &text);
    QString PanelName(int index) const;
    void SetPanelName(int index, const QString &name);
    /** The panel's rectangle; the last one reaches the right edge. */
    QRect PanelRect(int index) const;
    /** Where the panel's text is drawn, inside its edges. */
    QRect PanelTextRect(int index) const;

    void SetDrawPanel(DrawPanelFn draw) { m_draw = std::move(draw); }

    /** What assistive technology sees of a panel; nullptr for an index that does not exist. */
    QAccessibleInterface *PanelAccessible(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Panel {
        TStatusPanel shape;
        QString text;
    };

    int PanelWidth(int index) const;
    void FitHeight();
    void TellTextChanged(int index, const QString &text);
    void DropAccessible(int fromIndex);

    QList<Panel> m_panels;
    DrawPanelFn m_draw;
    mutable QList<QAccessible::Id> m_accessibleIds;
    // The panels' widths in the bar's font, measured when first needed after
    // a panel or the font changed: a job repaints panels for every e-mail.
    mutable QList<int> m_widths;
};
