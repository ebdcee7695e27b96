#include "TRoundedPanel.h"

#include <QEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

TRoundedPanel::TRoundedPanel(QWidget *parent)
    : QWidget(parent)
{
}

void TRoundedPanel::Setup(TColor colour, TColor bandColor, TColor captionColor, TColor cornerColor,
                          TColor shadowCornerColor)
{
    m_color = colour;
    m_bandColor = bandColor;
    m_captionColor = captionColor;
    m_cornerColor = cornerColor;
    m_shadowCornerColor = shadowCornerColor;
    // Only the face is the panel's own; the size keeps following the parent.
    QFont face;
    face.setFamily(u"Verdana"_s);
    setFont(face);
    update();
}

void TRoundedPanel::SetTitle(const QString &title)
{
    m_title = title;
    update();
}

void TRoundedPanel::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

TColor TRoundedPanel::ActiveBandColor() const
{
    return isEnabled() ? m_bandColor : DisabledBandColor;
}

TColor TRoundedPanel::FrameColor() const
{
    return AdjustLuma(ActiveBandColor(), 12);
}

void TRoundedPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), ColorFromBGR(m_color));

    // The gradient may run a band past the 20 rows: that row is the band's edge.
    const TColor base = ActiveBandColor();
    GradientFill(painter, w, BandHeight, AdjustLuma(base, 16), base, true);

    if (!m_title.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(ColorFromBGR(isEnabled() ? m_captionColor : 0x808080));
        const bool centred = (m_alignment & Qt::AlignHCenter) != 0;
        const QRect box = centred ? QRect(2, 0, w - 4, BandHeight) : QRect(6, 0, w - 8, BandHeight);
        const QString text = painter.fontMetrics().elidedText(m_title, Qt::ElideRight, box.width());
        painter.drawText(box, (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine,
                         text);
    }

    // No line along the top: the band is the top edge.
    const QColor frame = ColorFromBGR(FrameColor());
    painter.fillRect(0, 0, 1, h, frame);
    painter.fillRect(w - 1, 0, 1, h, frame);
    painter.fillRect(0, h - 1, w, 1, frame);

    const QColor corner = ColorFromBGR(m_cornerColor);
    painter.fillRect(0, 0, 1, 1, corner);
    painter.fillRect(w - 1, 0, 1, 1, corner);
    painter.fillRect(0, h - 1, 1, 1, corner);
    painter.fillRect(w - 1, h - 1, 1, 1, ColorFromBGR(m_shadowCornerColor));
}

void TRoundedPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Qt disables the children with the panel; only the grey look is ours.
    if (event->type() == QEvent::EnabledChange)
        update();
}

// The shadow lies on the parent, outside the panel: it follows every move and resize.
void TRoundedPanel::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (parentWidget())
        parentWidget()->update();
}

void TRoundedPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (parentWidget())
        parentWidget()->update();
}
