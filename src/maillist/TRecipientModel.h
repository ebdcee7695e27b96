#pragma once

#include "TRecipient.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>

#include <array>
#include <vector>

/**
 * @short The mailing list as a table: one row per recipient, or the one
 * placeholder row "[Required]" while the list is empty.
 *
 * Columns: 0 the status icon, 1 the e-mail address, 2..N+1 the parameters
 * (N = ParamColumns()). The status text has no column; StatusTextRole gives
 * it. The placeholder row is not selectable and is never counted, saved,
 * exported or sent to: every domain verb works on recipients only.
 *
 * Loads are one model reset; removals go by contiguous ranges; the counts per
 * status are kept up to date by every verb, so they are never recomputed
 * during a job. StatusCountsChanged follows every change of them.
 */
class TRecipientModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TRecipientModel)

public:
    enum Roles {
        StatusRole = Qt::UserRole + 1, // ToInt of the row's RecipientStatus (-1 on the placeholder)
        StatusTextRole,
    };

    explicit TRecipientModel(QObject *parent = nullptr);
    ~TRecipientModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    /** Removes recipients row .. row + count - 1 (the placeholder cannot be removed). */
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    /** Status icons 0..2 by status; icon 3 marks the placeholder row. */
    void SetImages(const QList<QIcon> &images);

    /** N, the parameter count of every recipient (0..9). */
    int ParamColumns() const { return m_paramColumns; }
    /** The number of rows shown: the placeholder row counts as one. */
    int ItemCount() const { return rowCount(); }
    int RecipientCount() const { return int(m_rows.size()); }
    bool IsEmpty() const { return m_rows.empty(); }
    /** True when row is a recipient (not the placeholder, not out of range). */
    bool IsValidItem(int row) const { return row >= 0 && row < RecipientCount(); }
    /** Recipient row; only for IsValidItem(row). */
    const TRecipient &Recipient(int row) const { return m_rows[size_t(row)]; }
    const std::vector<TRecipient> &Recipients() const { return m_rows; }
    /** The status of a row; -1 for the placeholder or out of range. */
    RecipientStatus Status(int row) const
    {
        return IsValidItem(row) ? Recipient(row).Status : RecipientStatus::Placeholder;
    }

    /** Recipients with status 0, 1 or 2. */
    int StatusCount(RecipientStatus status) const;
    /** Recomputes the counts from the rows (they are kept current anyway). */
    void RecountStatuses();

    /** Replaces the whole list in one reset; every row must hold paramColumns parameters. */
    void ResetList(std::vector<TRecipient> rows, int paramColumns);
    /** Empties the list: the placeholder row shows. */
    void Clear();
    /** Appends a not-sent recipient (fields cleaned, parameters fitted to N); returns its row. */
    int Append(const QString &address, const QStringList &params);
    /** Replaces the address and parameters of a row (fields cleaned, parameters fitted to N). */
    void SetValues(int row, const QString &address, const QStringList &params);
    /** Sets a row's status and status text. */
    void SetResult(int row, RecipientStatus status, const QString &statusText);
    /** Sets the same result into many rows (any order), with one change notice. */
    void SetResults(const std::vector<int> &rows, RecipientStatus status, const QString &statusText);
    /** Removes rows (any order, duplicates allowed); contiguous runs go at once. */
    void RemoveRows(std::vector<int> rows);

signals:
    /** The count of a status changed, whatever changed the rows. */
    void StatusCountsChanged();

private:
    QStringList FitParams(const QStringList &params) const;
    void Count(RecipientStatus status, int delta);
    void AnnounceCounts();

    std::vector<TRecipient> m_rows;
    int m_paramColumns = 0;
    std::array<int, RowStatusCount> m_counts{};
    std::array<int, RowStatusCount> m_announcedCounts{};
    QList<QIcon> m_images;
};
