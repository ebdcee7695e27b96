#pragma once

#include <QString>

#include <functional>

class QWidget;

/** The four kinds of message box, in the order of the original dialog types. */
enum class MsgDlgType { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

/** Error box with OK; beeps. */
void ErrorBox(const QString &text);
/** Information box with OK. */
void InfoBox(const QString &text);
/** Warning with Yes and No; beeps. True when Yes was chosen. */
bool WarningYesNo(const QString &text);
/** Confirmation with Yes and No. True when Yes was chosen. */
bool ConfirmYesNo(const QString &text);

/**
 * Shows a box of the given type modally; yesNo chooses Yes/No buttons over OK.
 * An empty caption keeps the type's own ("Warning", "Error", "Information",
 * "Confirm"). left or top of -1: centred on the main form when it is visible.
 * Returns true when Yes was chosen.
 */
bool MsgDlgPos(const QString &text, const QString &caption, MsgDlgType type, bool yesNo, int left = -1, int top = -1);

/** The window boxes are centred on (the main window, once it exists). */
void SetMsgDlgMainForm(QWidget *mainForm);

/** Where a box over a main form at (left, top, width, height) goes; negative becomes 0. */
int CentredBoxPos(int mainPos, int mainSize, int boxSize);

/**
 * Test hook: while set, every box goes to the hook instead of the screen; the
 * hook's return value is the answer (true = Yes). Pass nullptr to restore.
 */
using MessageBoxHook = std::function<bool(MsgDlgType type, const QString &text)>;
void SetMessageBoxHook(MessageBoxHook hook);
