#pragma once

#include <QColor>

#include <array>
#include <cstdint>

class QPainter;

// Colours of the kit are 24-bit values 0x00BBGGRR (blue in the high byte), as
// the program has always stored and written them. A value with 0xFF in its top
// byte names a system colour instead; it is looked up in the application's
// palette when drawing, so the kit follows the desktop's colour scheme.

using TColor = std::uint32_t;

constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clGrayText = 0xFF000011;

/** The one conversion of a kit colour (0x00BBGGRR or a system colour) into a QColor. */
QColor ColorFromBGR(TColor colour);

/** The drop shadow's three shades, innermost first. */
constexpr std::array<TColor, 3> ShadowColors = {0x80A8AB, 0xA0C8CB, 0xC0E8EB};

/**
 * Fills from (0, 0) with a two-colour gradient in solid bands: top to bottom
 * when vertical, else left to right. At most 256 bands; the last band may reach
 * up to one band beyond the extent (it is not clipped to width x height).
 */
void GradientFill(QPainter &painter, int width, int height, TColor startColour, TColor endColour, bool vertical);

/**
 * The colour with its luminance moved by n units of a 0..240 scale (hue and
 * saturation kept), on the hue-luminance-saturation model of the platform's
 * colour dialogs.
 */
TColor AdjustLuma(TColor colour, int n);
