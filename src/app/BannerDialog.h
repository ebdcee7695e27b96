#pragma once

#include <QPoint>
#include <QSize>

class QDialog;

/**
 * Gives the about box and the welcome window their common shape: a fixed
 * client size, a white background and the product banner with its top-left
 * corner at bannerPos.
 */
void SetupBannerDialog(QDialog &dialog, QSize clientSize, QPoint bannerPos);
