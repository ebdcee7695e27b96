#include "TXPPanel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

TXPPanel::TXPPanel(QWidget *parent)
    : QWidget(parent)
{
    setContentsMargins(1, 1, 1, 1);
}

void TXPPanel::SetCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void TXPPanel::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void TXPPanel::SetLayout(TLayout layout)
{
    m_layout = layout;
    update();
}

void TXPPanel::SetColor(TColor colour)
{
    m_color = colour;
    update();
}

void TXPPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect r = contentsRect();
    painter.fillRect(r, ColorFromBGR(m_color));

    // The edit-field border: one pixel all round, outside the client area.
    painter.setPen(ColorFromBGR(clBtnShadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    if (m_caption.isEmpty())
        return;
    r.adjust(1, 1, -1, -1);
    painter.setFont(font());
    painter.setPen(isEnabled() ? palette().color(QPalette::WindowText) : ColorFromBGR(clGrayText));
    const Qt::Alignment vertical = m_layout == LayoutCenter   ? Qt::AlignVCenter
                                   : m_layout == LayoutBottom ? Qt::AlignBottom
                                                              : Qt::AlignTop;
    const Qt::Alignment horizontal = QStyle::visualAlignment(layoutDirection(), m_alignment);
    painter.drawText(r, static_cast<int>(horizontal | vertical) | Qt::TextSingleLine, m_caption);
}

void TXPPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}
