#pragma once

#include <QCursor>

// The kit's cursors by id. The hand is the desktop's own pointing hand (it
// follows the cursor theme); the two crosses are drawn by the kit.

constexpr int CursorHand = 1;
constexpr int CursorCrossWhite = 2;
constexpr int CursorCrossBlack = 3;

/** The cursor of an id; the default arrow for an id the kit does not have. */
QCursor KitCursor(int id);
