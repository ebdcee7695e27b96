#include "Cursors.h"

#include <QBitmap>
#include <QPainter>

namespace {

// A 32 x 32 monochrome cross of one-pixel lines: column 16 from row 5 to 27
// and row 16 from column 5 to 27, hot spot at its centre. X11 cursor masks:
// bitmap 1 = black, mask 1 = drawn; a white cross is mask only.
QCursor CrossCursor(bool white)
{
    QBitmap shape(32, 32);
    QBitmap mask(32, 32);
    shape.fill(Qt::color0);
    mask.fill(Qt::color0);
    {
        QPainter p(&mask);
        p.setPen(Qt::color1);
        p.drawLine(16, 5, 16, 27);
        p.drawLine(5, 16, 27, 16);
    }
    if (!white) {
        QPainter p(&shape);
        p.setPen(Qt::color1);
        p.drawLine(16, 5, 16, 27);
        p.drawLine(5, 16, 27, 16);
    }
    return QCursor(shape, mask, 16, 16);
}

} // namespace

QCursor KitCursor(int id)
{
    switch (id) {
    case CursorHand:
        return QCursor(Qt::PointingHandCursor);
    case CursorCrossWhite:
        return CrossCursor(true);
    case CursorCrossBlack:
        return CrossCursor(false);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}
