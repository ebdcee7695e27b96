#pragma once

#include "DialogButtons.h"

#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;
class TDialogBtnPanel;

// Factories for dialogs that build their rows at run time. Each control gets
// the given parent, is placed and returned, and is destroyed with the parent.

/**
 * Gives a dialog the program's dialog font, Verdana at 13 pixels; where
 * Verdana is missing fontconfig picks the nearest face.
 */
void SetDialogFont(QWidget *dialog);

/** A label at left, top with its own size; an '&' is shown as itself. */
QLabel *CreateLabel(QWidget *parent, const QString &caption, int left, int top);

/**
 * A label exactly lines x one text line high and width wide; longer text is
 * cut off at the bottom. An '&' is shown as itself.
 */
QLabel *CreateWrapLabel(QWidget *parent, const QString &caption, int left, int top, int width, int lines,
                        bool wordWrap);

QListWidget *CreateListBox(QWidget *parent, int left, int top, int width, int height);

/** A choose-only combo box (no typing) with its own height. */
QComboBox *CreateComboBox(QWidget *parent, int left, int top, int width);

/** A check box with its own height; an '&' marks its accelerator. */
QCheckBox *CreateCheckBox(QWidget *parent, const QString &caption, int left, int top, int width);

/** A push button; onClick gets the tag. An '&' marks its accelerator. */
QPushButton *CreateButton(QWidget *parent, const QString &caption, int tag, const std::function<void(int tag)> &onClick,
                          int left, int top, int width, int height);

/** The dialog button bar on the form, set up and kept at the form's bottom; connect its ButtonClicked. */
TDialogBtnPanel *CreateDialogBtnPanel(QWidget *form, DialogButtonSet buttons, bool showSeparator, int margin);
