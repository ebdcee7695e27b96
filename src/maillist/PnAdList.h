#pragma once

#include "ColumnSizing.h"
#include "JobMode.h"
#include "TRecipient.h"
#include "TRndLVPanel.h"

#include <QIcon>
#include <QItemSelection>
#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

class QMenu;
class QTimer;
class TESettings;
class TRecipientCursor;
class TRecipientModel;
class TRestoreSett;
struct TEmailMessage;
struct TJobOptions;

/**
 * @short The "Mailing List" panel: the recipients in a table with their
 * status icons, the list commands (Import, Export, Clear, Add, Edit, Delete,
 * Select All, Reset Status, Export Selected), the job-list file, and the
 * position of a sending job in the list.
 *
 * Rows are indices into RecipientModel(); -1 stands for none. The current
 * recipient is the table's selection. While the list is empty one
 * placeholder row "[Required]" shows; it is never selected, counted, saved,
 * exported, previewed or sent to. Every change of the list is saved to the
 * job-list file at once; a failing save throws AppError to the caller.
 *
 * Owner's order: create, SetSettings, connect OnCommand and OnSelect, Build,
 * SetImages, SetBounds.
 */
class TAdListPanel final : public TRndLVPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAdListPanel)

public:
    explicit TAdListPanel(QWidget *parent = nullptr);
    ~TAdListPanel() override;

    /** The settings object (not owned); set before Build. */
    void SetSettings(TESettings *settings) { m_settings = settings; }
    TESettings *Settings() const { return m_settings; }

    /** Inherited Build, then the title, the pop-up menu, the table and the list of the previous run. */
    void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
               TColor shadowCornerColor) override;
    /** Inherited layout, then the column widths. */
    void SetBounds(int left, int top, int width, int height) override;
    /** Status icons 0..2 (not sent, sent, failed) and 3, the mark of the placeholder row. */
    void SetImages(const QList<QIcon> &images);

    // --- The list and its file

    TRecipientModel &RecipientModel() const { return *m_model; }
    /** Recipient row; only for IsValidItem(row). */
    const TRecipient &Recipient(int row) const;
    /** Fills the list from the job-list file (a missing or unreadable one gives an empty list). */
    void LoadJobList(bool repaint);
    /** Writes the list to the job-list file, then deletes the results journal it now holds; throws AppError. */
    void SaveJobList();
    /** Appends the results of these rows to the results journal, on the disk before it returns; throws AppError. */
    void JournalResults(const std::vector<int> &rows);
    /**
     * Start-up: the results a job journaled but never saved (it was killed, or
     * the power went) go into the list, which is saved; a journal none of whose
     * results fits the list is deleted, unless the list could not be read.
     * False when there was no journal. Throws AppError when the list cannot be
     * saved; the journal then stays for the next save.
     */
    bool RecoverJournal();
    /** Replaces the list by job-list lines (cut to 20000). */
    void LoadList(QStringList &lines);
    /** Rows shown, the placeholder row included. */
    int ItemCount() const;
    int SelCount() const;
    /** The current row when selected, else the first selected row, else -1. */
    int CurrentItem() const;
    /** The selected recipient rows, ascending. */
    std::vector<int> SelectedRows() const;
    int StatusCount(RecipientStatus status) const;
    bool IsValidItem(int row) const;
    /** Counts every status afresh; the model keeps the counts current on every change, so this is a check. */
    void RecountStatuses();
    int ParamColumns() const;
    const TColumnWidths &ColumnWidths() const { return m_columnWidths; }
    void MeasureColumns();
    void SizeColumns();

    // --- Jobs and preview

    JobMode CurrentJobMode() const;
    /** Enters job mode (1..4: table and commands locked) or leaves it (0). */
    void SetJobMode(JobMode mode);
    void BeginRecipients(JobMode mode);
    /** The next recipient after the current one or group, or -1; peek consumes nothing. */
    int FindNextRecipient(JobMode mode, bool peek);
    bool AdvanceRecipients(JobMode mode);
    /** The message's BCC list := the current group (empty in the individual method). */
    void FillBccRecipients(TEmailMessage &message) const;
    /** Writes a result into row, or (-1) into the current recipient or group; returns the rows written. */
    std::vector<int> RecordResult(RecipientStatus status, const QString &errorText, int row = -1);
    const std::vector<int> &BccGroup() const;
    bool SelectNext();
    bool SelectPrevious();
    bool IsFirst() const;
    bool IsLast() const;

    // --- Commands

    /** Enables the command links cmImport..cmDelete by the list and the selection (not during a job). */
    void UpdateCommands();
    /** Asks before the current list is dropped; true to go on. */
    bool ConfirmDiscardList();
    /** cmImport; true when a new list was loaded. */
    bool ImportList();
    /** Replaces the lines by the distinct addresses found in their text. */
    void ExtractAddresses(QStringList &lines);
    /**
     * cmExport (false, false), cmExportSelected (false, true) and cmExportLog
     * (true, false); true when a file was written.
     */
    bool ExportList(bool log, bool selectedOnly);
    /** cmClear. */
    bool ClearList();
    /** cmAdd (add) and cmEdit; true when the dialog was confirmed. */
    bool EditOrAddRecipient(bool add);
    /** cmDelete. */
    bool DeleteSelected();
    /** cmSelectAll. */
    void SelectAll();
    /** cmResetStatus. */
    void ResetSelectedStatus();
    /** After a workspace restore: reload the list (option 2), reset every status (option 3). */
    void ApplyRestore(const TRestoreSett &options);

    /** The table's pop-up menu (Select All, Reset Status, Export Selected). */
    QMenu *Popup() const { return m_popup; }
    /** Enables the pop-up items as the pop-up does when it opens. */
    void UpdatePopup();

signals:
    /** The current recipient changed: item is the row, or -1 for none. */
    void OnSelect(QObject *Sender, int Item);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TJobOptions JobOptions() const;
    void SetListEnabled(bool enabled);
    void SetTitleFromListFile();
    void OnSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void OnSelectTimer();
    void ShowPopup(const QPoint &position);
    void ScrollTo(int row);
    void DropSelection();
    void WriteConfig();

    TESettings *m_settings = nullptr;
    std::unique_ptr<TRecipientModel> m_model;
    std::unique_ptr<TRecipientCursor> m_cursor;
    QMenu *m_popup = nullptr;
    QTimer *m_selectTimer = nullptr;
    TColumnWidths m_columnWidths{};
};
