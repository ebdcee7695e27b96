#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The program's small pictures, drawn at run time so that no image files ship.

/**
 * The four 16 x 16 status icons, in this order: 0 not sent (an envelope),
 * 1 sent (a green tick), 2 failed (a red cross), 3 attention (a yellow
 * warning sign, also the mark of an empty required value).
 */
QList<QIcon> StatusIcons();

/** The 300 x 40 product banner at the top of the job summary. */
QPixmap ProductBanner();

/** The program's window icon, a letter in flight, as the icon the desktop entry installs. */
QIcon ProgramIcon();
