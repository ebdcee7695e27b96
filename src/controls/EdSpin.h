#pragma once

#include "TIntSpinEdit.h"
#include "TSpinEdit.h"

#include <QString>

// The integer spin edit's text rules, apart from the widget.

/**
 * The whole number a spin edit's text stands for: trailing characters that
 * are not digits (a unit, stray input) are dropped, the rest must be an
 * optional sign and digits only; anything else gives fallback. A number
 * beyond the 32-bit range gives the nearest 32-bit value.
 */
int SpinTextValue(const QString &text, int fallback);

/** value held within min and max; no bounds when min equals max. */
int ClampSpin(int value, int min, int max);
