#include "StatusIcons.h"

#include "StartupEnv.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace {

constexpr int IconSize = 16;

QPixmap BlankIcon()
{
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawEnvelope(QPainter &p, const QRectF &box, const QColor &paper, const QColor &edge)
{
    p.setPen(QPen(edge, 1));
    p.setBrush(paper);
    p.drawRect(box);
    QPainterPath flap;
    flap.moveTo(box.topLeft());
    flap.lineTo(box.center().x(), box.top() + box.height() * 0.6);
    flap.lineTo(box.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
}

QIcon NotSentIcon()
{
    QPixmap pixmap = BlankIcon();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawEnvelope(p, QRectF(1.5, 3.5, 13, 9), QColor(255, 255, 255), QColor(110, 110, 120));
    return QIcon(pixmap);
}

QIcon SentIcon()
{
    QPixmap pixmap = BlankIcon();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 120, 40), 1));
    p.setBrush(QColor(60, 170, 70));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(4.5, 8.5);
    tick.lineTo(7, 11);
    tick.lineTo(11.5, 5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return QIcon(pixmap);
}

QIcon FailedIcon()
{
    QPixmap pixmap = BlankIcon();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 20, 20), 1));
    p.setBrush(QColor(215, 45, 40));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
    return QIcon(pixmap);
}

QIcon AttentionIcon()
{
    QPixmap pixmap = BlankIcon();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sign;
    sign.moveTo(8, 1.5);
    sign.lineTo(15, 14.5);
    sign.lineTo(1, 14.5);
    sign.closeSubpath();
    p.setPen(QPen(QColor(160, 110, 0), 1));
    p.setBrush(QColor(250, 200, 40));
    p.drawPath(sign);
    p.setPen(QPen(QColor(40, 30, 0), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 6), QPointF(8, 9.5));
    p.drawPoint(QPointF(8, 12.5));
    return QIcon(pixmap);
}

} // namespace

QList<QIcon> StatusIcons()
{
    return {NotSentIcon(), SentIcon(), FailedIcon(), AttentionIcon()};
}

QPixmap ProductBanner()
{
    QPixmap pixmap(300, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // A letter in flight: the envelope with three speed lines behind it.
    const QRectF envelope(18.5, 8.5, 34, 23);
    p.setPen(QPen(QColor(0x40, 0x70, 0x20).lighter(120), 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal y = envelope.top() + 5 + i * 6.5;
        p.drawLine(QPointF(3 + i * 2, y), QPointF(envelope.left() - 3, y));
    }
    QLinearGradient paper(envelope.topLeft(), envelope.bottomLeft());
    paper.setColorAt(0, QColor(255, 255, 255));
    paper.setColorAt(1, QColor(255, 236, 200));
    p.setPen(QPen(QColor(0x70, 0x40, 0x20), 1.2));
    p.setBrush(paper);
    p.drawRoundedRect(envelope, 2, 2);
    QPainterPath flap;
    flap.moveTo(envelope.topLeft() + QPointF(1, 1));
    flap.lineTo(envelope.center().x(), envelope.top() + envelope.height() * 0.58);
    flap.lineTo(envelope.topRight() + QPointF(-1, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);

    QFont font(u"Verdana"_s);
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x70, 0x40, 0x20));
    p.drawText(QRect(62, 0, 238, 40), Qt::AlignLeft | Qt::AlignVCenter, AppTitle.toString());
    return pixmap;
}

QIcon ProgramIcon()
{
    // Drawn on a 64-unit square like velko-courierline.svg.
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        p.setPen(QPen(QColor(0x4d, 0x86, 0x26), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 24), QPointF(14, 24));
        p.drawLine(QPointF(7, 33), QPointF(14, 33));
        p.drawLine(QPointF(10, 42), QPointF(14, 42));
        const QRectF envelope(18, 14, 42, 36);
        QLinearGradient paper(envelope.topLeft(), envelope.bottomLeft());
        paper.setColorAt(0, QColor(255, 255, 255));
        paper.setColorAt(1, QColor(255, 236, 200));
        p.setPen(QPen(QColor(0x20, 0x40, 0x70), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(paper);
        p.drawRoundedRect(envelope, 3, 3);
        QPainterPath flap;
        flap.moveTo(19, 16);
        flap.lineTo(39, 34);
        flap.lineTo(59, 16);
        p.setBrush(Qt::NoBrush);
        p.drawPath(flap);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
