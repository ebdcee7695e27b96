#include "dcOutCommon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr TColor SystemColourFlag = 0xFF000000;

QColor SystemColor(TColor colour)
{
    const QPalette palette = QGuiApplication::palette();
    switch (colour) {
    case clWindow:
        return palette.color(QPalette::Active, QPalette::Base);
    case clWindowText:
        return palette.color(QPalette::Active, QPalette::WindowText);
    case clBtnFace:
        return palette.color(QPalette::Active, QPalette::Button);
    case clBtnShadow:
        return palette.color(QPalette::Active, QPalette::Dark);
    case clGrayText:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    default:
        return palette.color(QPalette::Active, QPalette::Window);
    }
}

// Halves go to the even neighbour, as the platform's colour conversion did.
double Round(double v)
{
    return std::nearbyint(v);
}

int ToChannel(double v)
{
    return static_cast<int>(std::clamp(Round(v), 0.0, 255.0));
}

TColor FromRgb(int r, int g, int b)
{
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

} // namespace

QColor ColorFromBGR(TColor colour)
{
    if ((colour & SystemColourFlag) == SystemColourFlag)
        return SystemColor(colour);
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

void GradientFill(QPainter &painter, int width, int height, TColor startColour, TColor endColour, bool vertical)
{
    const int extent = vertical ? height : width;
    if (extent <= 0)
        return;
    const QColor start = ColorFromBGR(startColour);
    const QColor end = ColorFromBGR(endColour);
    const int dr = end.red() - start.red();
    const int dg = end.green() - start.green();
    const int db = end.blue() - start.blue();
    const int steps = std::max({std::abs(dr), std::abs(dg), std::abs(db)}) + 1;
    const int band = extent / steps + 1;
    int pos = 0;
    for (int i = 0; i < steps; ++i) {
        // 64-bit: i x band x d reaches 256 x extent x 255.
        const auto offset = static_cast<qint64>(i) * band;
        const QColor colour(start.red() + static_cast<int>(offset * dr / extent),
                            start.green() + static_cast<int>(offset * dg / extent),
                            start.blue() + static_cast<int>(offset * db / extent));
        if (vertical)
            painter.fillRect(0, pos, width, band, colour);
        else
            painter.fillRect(pos, 0, band, height, colour);
        pos += band;
        if (pos > extent)
            break;
    }
}

TColor AdjustLuma(TColor colour, int n)
{
    const QColor rgb = ColorFromBGR(colour);
    const double r = rgb.red();
    const double g = rgb.green();
    const double b = rgb.blue();
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});

    double l = ((max + min) * 240 + 255) / 510;
    double h = 160;
    double s = 0;
    if (max == min) {
        l = Round(l);
    } else {
        s = l <= 120 ? ((max - min) * 240 + (max + min) / 2) / (max + min)
                     : ((max - min) * 240 + (510 - max - min) / 2) / (510 - max - min);
        const auto delta = [&](double c) { return ((max - c) * 40 + (max - min) / 2) / (max - min); };
        if (r == max)
            h = delta(b) - delta(g);
        else if (g == max)
            h = 80 + delta(r) - delta(b);
        else
            h = 160 + delta(g) - delta(r);
        if (h < 0)
            h += 240;
        else if (h > 240)
            h -= 240;
        h = Round(h);
        l = Round(l);
        s = Round(s);
    }

    l += n;

    if (s == 0) {
        const int c = ToChannel(l * 255 / 240);
        return FromRgb(c, c, c);
    }
    const double m2 = l <= 120 ? (l * (240 + s) + 120) / 240 : l + s - (l * s + 120) / 240;
    const double m1 = 2 * l - m2;
    const auto h2c = [&](double hue) {
        if (hue < 0)
            hue += 240;
        else if (hue > 240)
            hue -= 240;
        double v = m1;
        if (hue < 40)
            v = m1 + ((m2 - m1) * hue + 20) / 40;
        else if (hue < 120)
            v = m2;
        else if (hue < 160)
            v = m1 + ((m2 - m1) * (160 - hue) + 20) / 40;
        return Round(v);
    };
    return FromRgb(ToChannel((h2c(h + 80) * 255 + 120) / 240), ToChannel((h2c(h) * 255 + 120) / 240),
                   ToChannel((h2c(h - 80) * 255 + 120) / 240));
}
