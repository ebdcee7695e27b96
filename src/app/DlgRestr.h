#pragma once

#include "DialogButtons.h"
#include "TRestoreSett.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class TDialogBtnPanel;

/**
 * @short The restore dialog: a warning, one check box per restore option and
 * "&Proceed" / "&Cancel". Proceed stores the boxes into the options and saves
 * them; every other way out leaves options and file as they were.
 */
class TRestoreDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRestoreDialog)

public:
    explicit TRestoreDialog(QWidget *parent = nullptr);

    /**
     * Lays the dialog out for the backup of that bare name, the boxes checked
     * as the options file says (not as the options in memory are).
     */
    void BuildRows(const QString &Name, TRestoreSett &Options);

    QCheckBox *CheckBox(RestoreOption option) const { return m_checkBoxes[option]; }
    /** nullptr before BuildRows. */
    TDialogBtnPanel *Buttons() const { return m_buttons; }

private:
    void ButtonClick(DialogButtonId id);

    QLabel *m_image = nullptr;
    TRestoreSett *m_restoreSett = nullptr;
    std::array<QCheckBox *, RestoreOptionCount> m_checkBoxes{};
    TDialogBtnPanel *m_buttons = nullptr;
};

/**
 * Shows the restore dialog for the backup file of that bare name (no folder,
 * no extension); true when the user chose "&Proceed", the options then stored
 * and saved.
 */
bool ExecuteRestoreDialog(const QString &Name, TRestoreSett &Options, QWidget *parent = nullptr);
