#pragma once

#include "SettingsParam.h"

#include <QIcon>
#include <QList>

class QStandardItemModel;
class QTableView;
class TESettings;

// The rows of the Connection and Message panels: one row per chosen setting,
// its short label and its display text.

/** Index of the image that marks an empty required value. */
inline constexpr int RequiredMarkImage = 3;

/**
 * Replaces the model's rows by one row per setting of rows, in ascending
 * order: column 0 empty, column 1 the short label, column 2 the display text;
 * an empty required setting gets image 3 of images (when there is one) on its
 * display text. Returns false when a required setting was empty.
 */
bool FillSettingRows(QStandardItemModel &model, const TESettings &settings, SettingsParamSet rows,
                     const QList<QIcon> &images);

/**
 * The three columns of a panel's table: column 0 of width 0 (never seen),
 * column 1 labelWidth, column 2 the rest of the table's width. Column 1 is
 * drawn clear of the table's edge that the panel's frame hides.
 */
void SetRowColumns(QTableView &list, int labelWidth);
