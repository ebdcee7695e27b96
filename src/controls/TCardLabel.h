#pragma once

#include "dcOutCommon.h"

#include <QWidget>

/**
 * @short The kit's label: command links (hand cursor, blue and underlined
 * under the mouse), value labels with an ellipsis, multi-line labels with a
 * dotted mark when the text does not fit.
 *
 * It sizes itself to its caption (AutoSize, on by default), never wider than
 * MaxWidth. An '&' in the caption is drawn as itself. The caption is the
 * accessible name; a link is a push button to assistive technology.
 */
class TCardLabel : public QWidget {
    Q_OBJECT
public:
    explicit TCardLabel(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    /** Clears Overflow, repaints and fits the label to the new text. */
    void SetCaption(const QString &caption);

    /** Qt::AlignLeft (default), Qt::AlignHCenter; a right alignment draws left-aligned. */
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wordWrap);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);

    /** Draw each line cut with an ellipsis instead of breaking words. */
    bool SingleLine() const { return m_singleLine; }
    void SetSingleLine(bool singleLine);
    /** With SingleLine: the ellipsis goes inside the folder part of a path. */
    bool PathEllipsis() const { return m_pathEllipsis; }
    void SetPathEllipsis(bool pathEllipsis);

    /** Upper bound of the width in pixels; -1 for none. An equal value changes nothing. */
    int MaxWidth() const { return m_maxWidth; }
    void SetMaxWidth(int maxWidth);

    TColor DisabledColor() const { return m_disabledColor; }
    void SetDisabledColor(TColor colour);
    TColor HotColor() const { return m_hotColor; }
    void SetHotColor(TColor colour);

    bool IsLink() const { return m_isLink; }
    /** A link shows the hand cursor and the hot look while the mouse is over it. */
    void SetIsLink(bool isLink);
    /** The mouse is over the (enabled) link. */
    bool Hot() const { return m_hot; }
    /** Height of one text line: the height of "A" in the label's font; 0 until known. */
    int LineHeight() const { return m_lineHeight; }
    /** The text did not fit at the last drawing (a multi-line label), or the label is lower than one line. */
    bool Overflow() const { return m_overflow; }

    /** The owner's number for the label (a command id for links). */
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    /** Moves and sizes the label, the width bounded by MaxWidth; clears Overflow. */
    void SetBounds(int left, int top, int width, int height);
    /** Fits the label to its caption when AutoSize is on (the right edge kept for a right alignment). */
    void FitToText();

    /** Raises clicked() as a mouse click would (used by assistive technology). */
    void Click();

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QSize TextSize() const;
    void DrawOverflowMark(QPainter &painter) const;

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_wordWrap = false;
    bool m_autoSize = true;
    bool m_singleLine = false;
    bool m_pathEllipsis = false;
    int m_maxWidth = -1;
    int m_lineHeight = 0;
    bool m_overflow = false;
    TColor m_disabledColor = clBtnShadow;
    TColor m_hotColor = 0xFF0000;
    bool m_isLink = false;
    bool m_hot = false;
    bool m_pressed = false;
    int m_tag = 0;
};
