#pragma once

#include "dcOutCommon.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QDialog;
class QWidget;

/**
 * Gives the about box and the welcome window their common shape: a fixed
 * client size, a white background and the product banner with its top-left
 * corner at bannerPos.
 */
void SetupBannerDialog(QDialog &dialog, QSize clientSize, QPoint bannerPos);

/** The coloured rule these dialogs draw above their buttons, placed at geometry. */
QWidget *CreateBannerRule(QDialog &dialog, const QRect &geometry, TColor color);
