#pragma once

#include <QString>

class IniFile;
class QPoint;
class QWidget;

// Placing top-level windows: centring on the work area, and keeping a
// window's normal bounds, screen resolution and maximised state in an INI
// section (keys "Left", "Top", "Width", "Height", "PPI", "Maximized").

/** Sizes the window to at most the work area and centres it there. */
void CenterOnWorkArea(QWidget *form);

/**
 * Moves the window's top-left corner to position, then back inside the
 * available area of the screen there (the screen less panels and docks), so
 * that a dialog opened near a screen edge is wholly visible.
 */
void MoveInsideWorkArea(QWidget *form, const QPoint &position);

/** Writes the window's normal (restored) bounds, its pixels per inch and whether it is maximised. */
void SaveFormPos(QWidget *form, IniFile &ini, const QString &section);

/**
 * Restores stored bounds, pulled back onto the desktop and at least 400 by
 * 400 pixels, and reports the stored maximised state in @p maximized; the
 * caller maximises the window itself. A placement stored at another
 * resolution changes nothing and leaves @p maximized as it was.
 */
void LoadFormPos(QWidget *form, IniFile &ini, const QString &section, bool &maximized);
