#pragma once

#include "dcOutCommon.h"

#include <QWidget>

/**
 * @short A panel with a single-line border in the style of an edit field that
 * draws its caption on one line with horizontal and vertical alignment.
 *
 * The border is one pixel wide; contentsRect() is the client area inside it.
 */
class TXPPanel : public QWidget {
    Q_OBJECT
public:
    explicit TXPPanel(QWidget *parent = nullptr);

    enum TLayout : std::uint8_t { LayoutTop = 0, LayoutCenter = 1, LayoutBottom = 2 };

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    /** Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter (default, as a plain panel). */
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    /** Vertical placement of the caption; LayoutTop after construction. */
    TLayout Layout() const { return m_layout; }
    void SetLayout(TLayout layout);
    /** The panel's colour (the button face by default). */
    TColor Color() const { return m_color; }
    void SetColor(TColor colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    TLayout m_layout = LayoutTop;
    TColor m_color = clBtnFace;
};
