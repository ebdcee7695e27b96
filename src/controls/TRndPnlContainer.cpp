#include "TRndPnlContainer.h"

#include "TRoundedPanel.h"

#include <QPainter>

TRndPnlContainer::TRndPnlContainer(QWidget *parent)
    : QWidget(parent)
{
    resize(200, 200);
}

void TRndPnlContainer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ColorFromBGR(m_backgroundColor));
    for (QObject *child : children()) {
        const auto *panel = qobject_cast<TRoundedPanel *>(child);
        // A hidden panel leaves no shadow behind.
        if (!panel || panel->isHidden())
            continue;
        const QRect g = panel->geometry();
        const int l = g.left();
        const int t = g.top();
        const int r = l + g.width();
        const int b = t + g.height();
        for (int k = 0; k < 3; ++k) {
            const QColor shade = ColorFromBGR(m_shadowColors[k]);
            painter.fillRect(QRect(QPoint(l + 2 + k, b + k), QPoint(r + k, b + k)), shade);
            painter.fillRect(QRect(QPoint(r + k, t + 2 + k), QPoint(r + k, b + k)), shade);
            // Each layer's corner one shade lighter, so the outer corner is round.
            const TColor corner = k < 2 ? m_shadowColors[k + 1] : m_backgroundColor;
            painter.fillRect(r + k, b + k, 1, 1, ColorFromBGR(corner));
        }
    }
}
