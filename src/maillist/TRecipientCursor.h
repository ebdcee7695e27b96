#pragma once

#include "JobMode.h"
#include "TEmailMessage.h"
#include "TRecipient.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

class QItemSelectionModel;
class TRecipientModel;

/** @short The settings a job's walk over the list depends on. */
struct TJobOptions {
    bool Bcc = false;        // BCC groups instead of individual e-mails
    int BccPerMessage = 1;   // group size, 1..100
    bool NameParEna = false; // a parameter holds the person's name
    int NameParInd = 1;      // which one, 1..9
};

/**
 * @short The position of a job, or of the preview, in the mailing list.
 *
 * The current recipient is the selection: in the individual method the one
 * selected and current row, in the BCC method every row of the group, the
 * last one current. A group is selected in one step, so the selection model
 * reports one change per group. Searches always start after the current
 * position, so a walk over the whole list is linear and no recipient is
 * visited twice. The placeholder row is never chosen.
 */
class TRecipientCursor {
public:
    TRecipientCursor(TRecipientModel &model, QItemSelectionModel &selection);

    /** Hook that brings a row into view (the list view's scrollTo). */
    std::function<void(int row)> ScrollTo;

    /** Enters (1..4) or leaves (0) job mode; mode 2 takes the selected rows as the job's rows. */
    void SetJobMode(JobMode mode);
    JobMode Mode() const { return m_mode; }

    /** Selects the job's first recipient or group. */
    void BeginRecipients(JobMode mode, const TJobOptions &options);
    /** The next recipient after the current one or group, or -1; peek consumes nothing. */
    int FindNextRecipient(JobMode mode, bool peek);
    /** Selects the next recipient or group; false (nothing changed) when none is left. */
    bool AdvanceRecipients(JobMode mode, const TJobOptions &options);
    /** The addresses of the current BCC group, in list order; empty in the individual method. */
    TEmailAddressList BccAddresses(const TJobOptions &options) const;
    /**
     * Records a result into row, or (row -1) into every row of the BCC group,
     * else into the first selected row. A group row whose address is no valid
     * e-mail address was left out of the group's e-mail: it fails with its
     * own reason. Returns whether a row changed.
     */
    bool RecordResult(RecipientStatus status, const QString &errorText, int row = -1);
    /** The rows RecordResult writes into: row, or the BCC group, or the first selected row; none when none. */
    std::vector<int> ResultRows(int row = -1) const;

    /** Preview navigation over the recipients. */
    bool SelectNext();
    bool SelectPrevious();
    bool IsFirst() const;
    bool IsLast() const;

    const std::vector<int> &BccGroup() const { return m_bccGroup; }
    const std::deque<int> &JobSelection() const { return m_jobSelection; }

    /** The selected recipient rows, ascending. */
    std::vector<int> SelectedRows() const;
    /** The lowest selected row, or -1. */
    int FirstSelectedRow() const;
    /** The current row when it is selected, else the first selected row, else -1. */
    int CurrentItem() const;
    /** Makes rows the selection in one step, focus the current row (-1: none). */
    void SelectRows(const std::vector<int> &rows, int focus);
    /** Adds one row to the selection and makes it current. */
    void AddToSelection(int row);
    /** Clears the selection and the current row. */
    void ClearSelection();

private:
    std::vector<int> CollectGroup(int first, JobMode mode, const TJobOptions &options);
    void SelectGroup(const std::vector<int> &group);

    TRecipientModel &m_model;
    QItemSelectionModel &m_selection;
    JobMode m_mode = JobMode::Idle;
    std::deque<int> m_jobSelection;
    std::vector<int> m_bccGroup;
};
