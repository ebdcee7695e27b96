#pragma once

#include "CommandTable.h"

#include <QDialog>

class QTextEdit;
class TTxtBtnPanel;

/** The welcome text of the first run, "bry_intr.rtf" in the data folder. */
QString WelcomeFileName();

/**
 * @short The first run's welcome: the logo, the welcome text and the links
 * "Show Help" and "Close". Filled when first shown.
 */
class TWelcomeDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TWelcomeDialog)

public:
    explicit TWelcomeDialog(QWidget *parent = nullptr);

    /** The bar's commands: "Show Help" opens the help page and stays, "Close" closes. */
    void ExecuteCommand(QObject *Sender, CommandId Command);

    QTextEdit *RichEdit = nullptr;
    QWidget *P_Line = nullptr;
    /** nullptr until the window is shown. */
    TTxtBtnPanel *Buttons = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
};

/**
 * Shows the welcome window modally, then deletes the welcome file whatever
 * happened, so that the welcome is shown once.
 */
void ShowWelcome(QWidget *parent = nullptr);
