#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

/**
 * @short The main window's status bar: a row of fixed-width panels, the last
 * of which stretches to the right edge; a panel either shows its text or is
 * drawn by the owner.
 */
class TBryStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int BarHeight = 20;

    /** Draws an owner-drawn panel: its index and rectangle. */
    using DrawPanelFn = std::function<void(QPainter &painter, int index, const QRect &rect)>;

    explicit TBryStatusBar(QWidget *parent = nullptr);

    /** Appends a panel; ownerDrawn panels are painted by the draw function. */
    void AddPanel(int width, Qt::Alignment alignment = Qt::AlignLeft, bool ownerDrawn = false);
    void RemoveLastPanel();
    int PanelCount() const { return int(m_panels.size()); }

    QString PanelText(int index) const;
    /** Repaints the panel only when its text changes. */
    void SetPanelText(int index, const QString &text);
    /** The panel's rectangle; the last one reaches the right edge. */
    QRect PanelRect(int index) const;

    void SetDrawPanel(DrawPanelFn draw) { m_draw = std::move(draw); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Panel {
        int width = 0;
        Qt::Alignment alignment;
        bool ownerDrawn = false;
        QString text;
    };

    QList<Panel> m_panels;
    DrawPanelFn m_draw;
};
