#pragma once

#include "DialogButtons.h"

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class TDialogBtnPanel;
class TESettings;

/**
 * @short The message text editor: the message body in a plain text box;
 * OK replaces the settings' message text, and a check box asks for the
 * change to go into the user's message file as well (the caller saves).
 *
 * Owner's order: construct, FormShow (or show), exec.
 */
class TEditDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEditDialog)

public:
    explicit TEditDialog(TESettings &settings, QWidget *parent = nullptr);
    ~TEditDialog() override;

    /** Builds the button bar, the check box and the text box once. */
    void FormShow();
    /** The button bar's handler: OK takes the text, Help opens the help page. */
    void ButtonClick(DialogButtonId id);
    /** The state of the check box "Save changes to the original file". */
    bool SaveToOriginal() const;

    QPlainTextEdit *Memo = nullptr;
    QCheckBox *CheckBox = nullptr;
    TDialogBtnPanel *ButtonBar = nullptr;
    TESettings &Settings;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void PlaceMemo();
};

/**
 * Shows the message text editor modally, centred on the active window. True
 * when it was closed with OK; saveToOriginal is then the check box's state
 * (false otherwise).
 */
bool ExecuteEditDialog(TESettings &settings, bool &saveToOriginal);
