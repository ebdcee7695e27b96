#pragma once

#include "dcOutCommon.h"

#include <QImage>
#include <QWidget>

// Drawing a widget off screen and reading its pixels, for the kit's tests.

/** The widget (and its children) drawn into an image of its size; the background starts magenta. */
inline QImage RenderWidget(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    // Without the window background: what the widget paints itself stays apart from the magenta.
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

/** A colour as 8-bit channels in the kit's order, as it lands in a 32-bit image. */
inline TColor BGROf(const QColor &c)
{
    return static_cast<TColor>(c.red()) | (static_cast<TColor>(c.green()) << 8) | (static_cast<TColor>(c.blue()) << 16);
}

/** The pixel as a kit colour (0x00BBGGRR), for comparison with the kit's colour values. */
inline TColor PixelBGR(const QImage &image, int x, int y)
{
    return BGROf(image.pixelColor(x, y));
}

/** How many pixels of the rectangle have exactly the colour. */
inline int CountPixels(const QImage &image, const QRect &area, TColor colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += PixelBGR(image, x, y) == colour ? 1 : 0;
    return n;
}
