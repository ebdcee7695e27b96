#pragma once

#include "DialogButtons.h"
#include "SettingsParam.h"
#include "dcOutCommon.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TButtonText;
class TDialogBtnPanel;
class TESettings;
class TIntSpinEdit;

/**
 * @short The settings editor: one page of settings (a SettingsParamSet), one
 * row per setting built when the dialog is shown, rows enabled by their
 * switches while the user works; OK reads the rows back, corrects them and
 * writes the configuration file, Cancel changes nothing.
 *
 * Owner's order: construct, FormShow (or show), exec.
 */
class TEMSettDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEMSettDialog)

public:
    static constexpr int ClientWidth = 417;

    TEMSettDialog(SettingsParamSet page, TESettings &settings, TColor color, QWidget *parent = nullptr);
    ~TEMSettDialog() override;

    /** Builds the page once: rows, button bar, dependent rows, caption. */
    void FormShow();

    /** The control that edits each setting of the page (index = SettingsParam); null for others. */
    std::array<QWidget *, SettingsParamCount> Rows{};
    /** Working copy of the attachment paths, until OK. */
    QStringList AttachList;
    /** "Add", "Remove", "Clear" of the attachments row. */
    std::array<QPushButton *, 3> AttachButtons{};
    /** The extra header lines (headers page). */
    QPlainTextEdit *HeaderEdit = nullptr;
    /** The generated header lines (headers page). */
    QPlainTextEdit *HeaderPreview = nullptr;
    TDialogBtnPanel *ButtonBar = nullptr;
    /** False while FormShow builds the page. */
    bool Shown = false;
    /** The page was saved: by OK, or by "&Headers..." even when the page is then cancelled. */
    bool Saved = false;
    const SettingsParamSet PageSet;
    TESettings &Settings;
    /** The dialog's colour: gradient, separators and disabled rows. */
    const TColor Color;

    // Typed views of Rows; null when the row is not on the page or of another kind.
    QCheckBox *CheckBoxRow(int index) const;
    QLineEdit *EditRow(int index) const;
    TIntSpinEdit *SpinRow(int index) const;
    QComboBox *ComboRow(int index) const;
    TButtonText *ValueFieldRow(int index) const;
    QListWidget *AttachmentListBox() const;

    // Handlers of the rows; sender null: called by the dialog itself at show time.
    void AuthClick(QCheckBox *sender);
    void BatchModeClick(QCheckBox *sender);
    void AddressSwitchClick(QCheckBox *sender);
    void NameParClick(QCheckBox *sender);
    void MimeClick(QCheckBox *sender);
    void ExtraHeadersClick(QCheckBox *sender);
    void SendMethodClick(QComboBox *sender);
    void HeadersChange();
    void BrowseFileClick(int tag);
    void FillAttachmentList();
    void AttachmentListClick();
    /** 0 "Add", 1 "Remove", 2 "Clear". */
    void AttachmentButtonClick(int tag);
    void ButtonClick(DialogButtonId id);

    /** Reads the rows back into the settings, corrects them and writes the configuration file. */
    void SaveSettingsPage();
    /** Fills HeaderPreview with the header lines of a sample e-mail; silent: no error box. */
    void PreviewHeaders(bool silent);
    /** Fills the server, address and name rows from the desktop mail program's account. */
    void ImportMailClientAccount();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int BuildRow(int index, int top, int x);
    int BuildAttachments(int top, int x);
    int BuildHeaderBlock(int top, int x);
    void SetRowEnabled(int index, bool enabled);
    /** Every row of the page that the switch row enables. */
    void EnableDependentRows(int switchRow, bool enabled);
    /**
     * Enables or disables the rows of a check box by its state; a sender that
     * turned it on moves the focus to focusRow.
     */
    void FollowSwitch(int switchRow, QCheckBox *sender, int focusRow);
    void FocusRow(int index);
    void ClearAll();

    /** Bottom of each row's block (its control, the attachment buttons, the preview): where separators go. */
    std::array<int, SettingsParamCount> m_rowBottom{};
};

/**
 * Shows the settings editor modally for one page, its top-left corner at
 * position (kept on the screen), in the given colour; true when it changed
 * the settings: closed with OK, or saved by "&Headers..." before a Cancel.
 */
bool ExecuteSettingsPage(SettingsParamSet page, TESettings &settings, const QPoint &position, TColor color);
